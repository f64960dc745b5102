#include "core/TinyXml.h"

#include <stdexcept>

namespace quimbro::test {

namespace {

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    XmlElement Document() {
        SkipMisc();
        auto root = Element();
        SkipMisc();
        if (at_ != text_.size()) Fail("text after the root element");
        return root;
    }

  private:
    [[noreturn]] void Fail(const char* what) const {
        throw std::runtime_error(std::string(what) + " at " + std::to_string(at_));
    }
    bool Ahead(std::string_view s) const { return text_.substr(at_).starts_with(s); }
    void Expect(std::string_view s) {
        if (!Ahead(s)) Fail("unexpected text");
        at_ += s.size();
    }
    void SkipSpace() {
        while (at_ < text_.size() &&
               std::string_view(" \t\r\n").find(text_[at_]) != std::string_view::npos)
            ++at_;
    }
    void SkipPast(std::string_view end) {
        const auto found = text_.find(end, at_);
        if (found == std::string_view::npos) Fail("unterminated markup");
        at_ = found + end.size();
    }
    void SkipMisc() {
        for (SkipSpace(); Ahead("<?") || Ahead("<!--"); SkipSpace())
            SkipPast(Ahead("<?") ? "?>" : "-->");
    }
    std::string Name() {
        const auto start = at_;
        while (at_ < text_.size() &&
               std::string_view(" \t\r\n/>=").find(text_[at_]) == std::string_view::npos)
            ++at_;
        if (at_ == start) Fail("name expected");
        return std::string(text_.substr(start, at_ - start));
    }
    std::string Decoded(std::string_view raw) {
        std::string out;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '&') {
                out += raw[i];
                continue;
            }
            const auto end = raw.find(';', i);
            const auto entity = raw.substr(i, end == std::string_view::npos ? 0 : end - i + 1);
            if (entity == "&amp;")
                out += '&';
            else if (entity == "&lt;")
                out += '<';
            else if (entity == "&gt;")
                out += '>';
            else if (entity == "&quot;")
                out += '"';
            else if (entity == "&apos;")
                out += '\'';
            else
                Fail("unknown entity");
            i = end;
        }
        return out;
    }
    XmlElement Element() {
        Expect("<");
        XmlElement element{Name(), {}, {}};
        for (SkipSpace(); !Ahead("/>") && !Ahead(">"); SkipSpace()) {
            auto name = Name();
            SkipSpace();
            Expect("=");
            SkipSpace();
            if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\''))
                Fail("quote expected");
            const char quote = text_[at_++];
            const auto end = text_.find(quote, at_);
            if (end == std::string_view::npos) Fail("unterminated value");
            element.attributes.emplace_back(std::move(name), Decoded(text_.substr(at_, end - at_)));
            at_ = end + 1;
        }
        if (Ahead("/>")) {
            at_ += 2;
            return element;
        }
        Expect(">");
        while (true) {
            const auto tag = text_.find('<', at_);
            if (tag == std::string_view::npos) Fail("unterminated element");
            at_ = tag;
            if (Ahead("<!--"))
                SkipPast("-->");
            else if (Ahead("</")) {
                at_ += 2;
                if (Name() != element.name) Fail("mismatched end tag");
                SkipSpace();
                Expect(">");
                return element;
            } else
                element.children.push_back(Element());
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

XmlElement ParseXml(std::string_view text) {
    return Parser(text).Document();
}

}  // namespace quimbro::test
