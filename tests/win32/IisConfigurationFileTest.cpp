// applicationHost.config read with XmlLite, as on a server without the metabase provider. The
// core reads the same files with another parser; only what XmlLite itself does is checked here.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/PlatformError.h"
#include "platform/win32/IisConfigurationFile.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32::test {
namespace {

// Each element on a line of its own, indented by its depth, with its attributes in order.
std::string Outline(const XmlElement& element, const std::string& indent = "") {
    std::string line = indent + element.name;
    for (const auto& [name, value] : element.attributes) line += " " + name + "=\"" + value + "\"";
    line += "\n";
    for (const auto& child : element.children) line += Outline(child, indent + "  ");
    return line;
}

// The outline was made by another XML reader. No XML, no file, a document type or a file cut
// short fails: XmlLite either ends without a word or repeats the white space before the cut.
TEST(IisConfigurationFile, ReadsEveryElementAndAttributeInOrder) {
    EXPECT_EQ(Outline(ReadXmlFile(Wide(WinePath("iis/several-sites.config")))),
              ReadWholeFile(WinePath("win32/several-sites.outline")));
    for (const char* name : {"iis/not-xml.config", "iis/missing.config", "win32/doctype.config",
                             "iis/cut-last-line.config", "iis/cut-after-end-tag.config",
                             "iis/cut-in-tag.config", "iis/cut-after-root-tag.config"})
        EXPECT_THROW(ReadXmlFile(Wide(WinePath(name))), PlatformError) << name;
}

}  // namespace
}  // namespace quimbro::win32::test
