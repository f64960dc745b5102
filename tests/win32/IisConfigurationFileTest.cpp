// applicationHost.config read with XmlLite, as on a server without the metabase provider. The
// core reads the same files with another parser; only what XmlLite itself does is checked here.
#include <gtest/gtest.h>

#include "platform/PlatformError.h"
#include "platform/win32/IisConfigurationFile.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32::test {
namespace {

// The test data, seen through Wine's Z: drive.
std::wstring Data(const std::string& name) {
    std::string path = std::string("Z:") + QUIMBRO_IIS_DATA + "/" + name;
    for (auto& c : path)
        if (c == '/') c = '\\';
    return Wide(path);
}

TEST(IisConfigurationFile, ReadsElementsAndAttributesInOrder) {
    const auto root = ReadXmlFile(Data("several-sites.config"));
    ASSERT_EQ(root.name, "configuration");
    const auto* sites = root.Child("system.applicationHost")->Child("sites");
    ASSERT_NE(sites, nullptr);
    ASSERT_EQ(sites->children.size(), 4u);
    EXPECT_EQ(*sites->children[0].Attribute("name"), "Default Web Site");
    EXPECT_EQ(sites->children[0].attributes[2].first, "serverAutoStart");
    // Entities are decoded, empty elements have no children.
    EXPECT_EQ(*sites->children[1]
                   .Child("application")
                   ->Child("virtualDirectory")
                   ->Attribute("physicalPath"),
              "E:\\Intranet & Wiki");
    EXPECT_TRUE(
        sites->children[1].Child("application")->Child("virtualDirectory")->children.empty());
}

TEST(IisConfigurationFile, FilesThatAreNotXmlFailToRead) {
    EXPECT_THROW(ReadXmlFile(Data("not-xml.config")), PlatformError);
    EXPECT_THROW(ReadXmlFile(Data("missing.config")), PlatformError);
}

}  // namespace
}  // namespace quimbro::win32::test
