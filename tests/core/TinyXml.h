#pragma once

#include <string_view>

#include "platform/XmlElement.h"

namespace quimbro::test {

// Parses the XML the tests write (elements, attributes, comments, declarations, the five
// predefined entities) so that the configuration reader can be tested without Windows.
// Raises std::runtime_error for anything else.
XmlElement ParseXml(std::string_view text);

}  // namespace quimbro::test
