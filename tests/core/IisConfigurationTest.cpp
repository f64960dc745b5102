// The IIS section on IIS 7 and later: the sites read from applicationHost.config where the
// metabase provider cannot be bound.
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "app/Utility.h"
#include "core/Fixtures.h"
#include "fakes/FakeWindow.h"
#include "gatherers/IIS5.h"
#include "platform/FallbackMetabase.h"
#include "platform/IisConfigurationMetabase.h"
#include "platform/PlatformError.h"

namespace fs = std::filesystem;

namespace quimbro::test {
namespace {

struct Unreachable final : Metabase {
    std::unique_ptr<MetabaseObject> Bind(const std::string&) override {
        throw PlatformError("no provider");
    }
};

// The document as XmlLite gives it to the product on Windows: elements and attributes only.
XmlElement ElementOf(const pugi::xml_node& node) {
    XmlElement element{node.name(), {}, {}};
    for (const auto& attribute : node.attributes())
        element.attributes.emplace_back(attribute.name(), attribute.value());
    for (const auto& child : node.children())
        if (child.type() == pugi::node_element) element.children.push_back(ElementOf(child));
    return element;
}

std::unique_ptr<Metabase> OpenConfiguration(const std::string& file) {
    pugi::xml_document document;
    if (!document.load_file(DataFile("iis/" + file).c_str())) throw PlatformError("not XML");
    return std::make_unique<IisConfigurationMetabase>(ElementOf(document.document_element()),
                                                      "QUIMBROPC");
}

// The IIS section alone, written by a run whose metabase is `metabase`.
std::vector<std::string> IisSection(Metabase& metabase) {
    TempFolder root;
    FakeComputer pc(root.path());
    pc.desktop = root.path().string();
    pc.computerName = "QUIMBROPC";
    pc.registry["HKLM\\Software\\Microsoft\\InetStp\\VersionString"] = std::string("Version 10.0");
    auto& parts = pc.computer();
    Computer computer{parts.automation, parts.processes, parts.groups, metabase, parts.clock};
    FakeWindow window;
    RunContext run(computer, window);
    InitializeRun(run);
    run.FileSystem->CreateFolder(run.DesktopPath + "\\QuimbroOutput");
    OpenLogFile(run);
    GatherIISInfo(run);
    CloseLogFile(run);
    return ReportLines(root.path() / "QuimbroOutput" / kReport);
}

TEST(IisConfiguration, SectionFromTheConfigurationFile) {
    for (const auto& row : Table("core/iis-sections.txt")) {
        SCOPED_TRACE(row[0]);
        FallbackMetabase metabase(std::make_unique<Unreachable>(),
                                  [&] { return OpenConfiguration(row[0]); });
        ExpectSameLines(IisSection(metabase), ExpectedLines(row[1]));
    }
}

TEST(IisConfiguration, TheProviderAnswersWheneverItCanBeBound) {
    int opened = 0;
    FallbackMetabase metabase(OpenConfiguration("default-iis10.config"), [&] {
        ++opened;
        return OpenConfiguration("several-sites.config");
    });
    EXPECT_NO_THROW(metabase.Bind("IIS://QUIMBROPC/W3SVC"));
    // The provider has no such site; the configuration is not asked, so sources never mix.
    EXPECT_THROW(metabase.Bind("IIS://QUIMBROPC/W3SVC/2"), PlatformError);
    EXPECT_EQ(opened, 0);
}

TEST(IisConfiguration, PathsNameThisComputerInAnyLetterCase) {
    auto metabase = OpenConfiguration("several-sites.config");
    for (const auto& row : Table("core/iis-paths.txt")) {
        if (row[1] == "yes")
            EXPECT_NO_THROW(metabase->Bind(row[0])) << row[0];
        else
            EXPECT_THROW(metabase->Bind(row[0]), PlatformError) << row[0];
    }
    const auto images = metabase->Bind("IIS://QUIMBROPC/W3SVC/1/Root/Images");
    EXPECT_EQ(ToText(images->Get("Name")), "images");
    EXPECT_THROW(images->Get("FilterState"), PlatformError);
}

}  // namespace
}  // namespace quimbro::test
