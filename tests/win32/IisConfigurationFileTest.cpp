// applicationHost.config read with XmlLite, as on a server without the metabase provider.
#include <gtest/gtest.h>

#include "platform/IisConfigurationMetabase.h"
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

    IisConfigurationMetabase metabase(root, "QUIMBROPC");
    const auto tarnApp = metabase.Bind("IIS://QUIMBROPC/W3SVC/1/Root/TarnApp");
    EXPECT_EQ(ToText(tarnApp->Get("AccessFlags")), "517");
}

TEST(IisConfigurationFile, FilesThatAreNotXmlFailToRead) {
    EXPECT_THROW(ReadXmlFile(Data("not-xml.config")), PlatformError);
    EXPECT_THROW(ReadXmlFile(Data("missing.config")), PlatformError);
    EXPECT_THROW(IisConfigurationMetabase(ReadXmlFile(Data("not-iis.config")), "QUIMBROPC"),
                 PlatformError);
}

TEST(IisConfigurationFile, WithoutTheFileThisComputerHasNoConfiguration) {
    // A fresh Wine prefix has no IIS.
    EXPECT_THROW(OpenIisConfiguration(), PlatformError);
}

}  // namespace
}  // namespace quimbro::win32::test
