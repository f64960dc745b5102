#include "platform/XmlPullReader.h"

#include <optional>
#include <vector>

#include "platform/PlatformError.h"

namespace quimbro {

namespace {

// Where a node lies, without its kind.
std::pair<std::uint64_t, std::uint64_t> PlaceOf(const XmlPullReader::Mark& mark) {
    return {std::get<0>(mark), std::get<1>(mark)};
}

}  // namespace

XmlElement ReadXmlDocument(XmlPullReader& reader) {
    // The open elements with the places of their start tags.
    std::vector<std::pair<XmlElement, XmlPullReader::Mark>> open;
    std::optional<XmlElement> root;
    const auto close = [&](XmlElement element) {
        if (open.empty())
            root = std::move(element);
        else
            open.back().first.children.push_back(std::move(element));
    };
    std::optional<XmlPullReader::Mark> last;
    for (XmlNode node = reader.Read(); node != XmlNode::End; node = reader.Read()) {
        const auto where = reader.Where();
        if (where == last) throw PlatformError("the XML reader does not move on");
        last = where;
        if (node == XmlNode::Other) continue;
        if (root) throw PlatformError("an element after the XML document's root");
        if (node == XmlNode::Element) {
            open.emplace_back(reader.Element(), where);
        } else if (node == XmlNode::EmptyElement) {
            close(reader.Element());
        } else {
            if (open.empty()) throw PlatformError("unbalanced XML");
            // At a cut, Wine's XmlLite ends the open elements itself, each where it began.
            if (PlaceOf(where) <= PlaceOf(open.back().second))
                throw PlatformError("the XML document ends before its elements do");
            auto element = std::move(open.back().first);
            open.pop_back();
            close(std::move(element));
        }
    }
    if (!root) throw PlatformError("the XML document's root element was not closed");
    return std::move(*root);
}

}  // namespace quimbro
