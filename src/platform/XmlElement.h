#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quimbro {

// An element of a parsed XML document: its name, its attributes in document order and its
// child elements in document order. Text content is not kept. Names and values are UTF-8.
struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<XmlElement> children;

    const std::string* Attribute(std::string_view attributeName) const {
        for (const auto& [key, value] : attributes)
            if (key == attributeName) return &value;
        return nullptr;
    }

    const XmlElement* Child(std::string_view childName) const {
        for (const auto& child : children)
            if (child.name == childName) return &child;
        return nullptr;
    }
    XmlElement* Child(std::string_view childName) {
        return const_cast<XmlElement*>(std::as_const(*this).Child(childName));
    }
};

}  // namespace quimbro
