#include "platform/Value.h"

#include "platform/PlatformError.h"

namespace quimbro {

namespace {
struct TextOf {
    std::string operator()(const std::string& text) const { return text; }
    std::string operator()(std::int64_t number) const { return std::to_string(number); }
    std::string operator()(std::uint64_t number) const { return std::to_string(number); }
    std::string operator()(bool flag) const { return flag ? "True" : "False"; }
    std::string operator()(const TextList&) const {
        throw PlatformError("a list cannot be joined to text");
    }
    std::string operator()(const Bytes&) const {
        throw PlatformError("raw bytes cannot be joined to text");
    }
};
}  // namespace

std::string ToText(const Value& value) {
    return std::visit(TextOf{}, value);
}

const TextList& EntriesOf(const Value& value) {
    static const TextList none;
    const auto* list = std::get_if<TextList>(&value);
    return list ? *list : none;
}

bool IsNumber(const Value& value, std::int64_t number) {
    if (const auto* n = std::get_if<std::int64_t>(&value)) return *n == number;
    if (const auto* u = std::get_if<std::uint64_t>(&value))
        return number >= 0 && *u == static_cast<std::uint64_t>(number);
    return false;
}

}  // namespace quimbro
