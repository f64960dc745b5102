#include "support/Cases.h"

#include <cstdint>
#include <stdexcept>

namespace quimbro::test {

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + separator.size())
        pieces.push_back(text.substr(start, end - start));
    pieces.push_back(text.substr(start));
    return pieces;
}

std::vector<std::vector<std::string>> Rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    for (auto line : Split(text, "\n")) {
        if (line.ends_with('\r')) line.pop_back();
        if (!line.empty() && !line.starts_with('#')) rows.push_back(Split(line, "\t"));
    }
    return rows;
}

Value ValueOf(const std::string& typed) {
    const auto space = typed.find(' ');
    const auto kind = typed.substr(0, space);
    const auto text = space == std::string::npos ? "" : typed.substr(space + 1);
    if (kind == "BSTR") return text;
    if (kind == "I4") return std::int64_t{std::stoll(text)};
    if (kind == "U8") return std::uint64_t{std::stoull(text)};
    if (kind == "BOOL") return text == "true";
    if (kind == "LIST") return text.empty() ? TextList{} : Split(text, "|");
    if (kind != "HEX") throw std::invalid_argument("no value kind " + kind);
    Bytes bytes;
    for (const auto& byte : Split(text, ","))
        if (!byte.empty()) bytes.push_back(static_cast<std::uint8_t>(std::stoi(byte, nullptr, 16)));
    return bytes;
}

}  // namespace quimbro::test
