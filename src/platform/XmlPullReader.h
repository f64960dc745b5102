#pragma once

#include <cstdint>
#include <tuple>

#include "platform/XmlElement.h"

namespace quimbro {

// The kinds of node a pull reader stops at; Other is anything that is not an element or the
// end of one (the declaration, comments, text, white space).
enum class XmlNode { Element, EmptyElement, EndElement, Other, End };

// A reader that gives an XML document one node after the other, as XmlLite does. Every
// operation raises PlatformError when the document cannot be read on.
class XmlPullReader {
  public:
    // The line and column the reader gives for the current node, and its own kind of node. A
    // reader that moves forward never gives the same mark twice in a row; its marks need not
    // grow otherwise (Wine's XmlLite places white space at odd places).
    using Mark = std::tuple<std::uint64_t, std::uint64_t, int>;

    virtual ~XmlPullReader() = default;
    // Moves to the next node and tells its kind; End once the input has ended.
    virtual XmlNode Read() = 0;
    virtual Mark Where() = 0;
    // The element the reader stands on, with its attributes in document order.
    virtual XmlElement Element() = 0;
};

// The document's root element with everything below it. A reader may end the input without a
// word where a file was cut short, or give the same node again and again: the document is
// only whole once its root element has been closed, and a read that does not move forward
// (the same mark as the read before) ends the reading. Raises PlatformError for anything but one
// whole document.
XmlElement ReadXmlDocument(XmlPullReader& reader);

}  // namespace quimbro
