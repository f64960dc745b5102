// The IIS section on IIS 7 and later: the sites read from applicationHost.config where the
// metabase provider cannot be bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "app/Utility.h"
#include "core/Fixtures.h"
#include "fakes/FakeWindow.h"
#include "gatherers/IIS5.h"
#include "platform/FallbackMetabase.h"
#include "platform/IisConfigurationFiles.h"
#include "platform/IisConfigurationMetabase.h"
#include "platform/PlatformError.h"
#include "platform/XmlPullReader.h"

namespace fs = std::filesystem;

namespace quimbro::test {
namespace {

struct Unreachable final : Metabase {
    std::unique_ptr<MetabaseObject> Bind(const std::string&) override {
        throw PlatformError("no provider");
    }
};

// An XML text read node by node as Wine's XmlLite reads it: where the text is cut short, each
// element still open ends where it began, and then the input ends.
class CutReader final : public XmlPullReader {
  public:
    explicit CutReader(std::string text) : text_(std::move(text)) {}

    XmlNode Read() override {
        const auto open = text_.find('<', next_);
        const auto close = text_.find('>', open);
        if (open == std::string::npos || close == std::string::npos)
            return starts_.empty() ? Node(XmlNode::End, 0) : Node(XmlNode::EndElement, Pop());
        tag_ = text_.substr(open + 1, close - open - 1);
        next_ = close + 1;
        if (tag_[0] == '?' || tag_[0] == '!') return Node(XmlNode::Other, open);
        if (tag_[0] == '/') starts_.pop_back();
        if (tag_[0] == '/') return Node(XmlNode::EndElement, open);
        if (tag_.back() == '/') return Node(XmlNode::EmptyElement, open);
        starts_.push_back(open);
        return Node(XmlNode::Element, open);
    }
    Mark Where() override { return mark_; }
    XmlElement Element() override {
        XmlElement element{tag_.substr(0, tag_.find_first_of(" /")), {}, {}};
        static const std::regex attribute(R"re(([\w.:-]+)="([^"]*)")re");
        for (std::sregex_iterator at(tag_.begin(), tag_.end(), attribute), end; at != end; ++at)
            element.attributes.emplace_back(
                (*at)[1], std::regex_replace((*at)[2].str(), std::regex("&amp;"), "&"));
        return element;
    }

  private:
    std::size_t Pop() {
        const auto start = starts_.back();
        starts_.pop_back();
        return start;
    }
    XmlNode Node(XmlNode node, std::size_t at) {
        mark_ = {0, at, static_cast<int>(node)};
        return node;
    }

    std::string text_;
    std::size_t next_ = 0;
    std::vector<std::size_t> starts_;
    std::string tag_;
    Mark mark_{};
};

// A file of ../iis by a Windows path ("\\farm\\config\\x" is iis/farm/config/x), read as the
// product reads it: a file cut short is no document.
XmlElement ReadData(const std::string& path) {
    auto file = path.substr(path.find_first_not_of('\\'));
    std::replace(file.begin(), file.end(), '\\', '/');
    if (!fs::is_regular_file(DataFile("iis/" + file))) throw PlatformError("no file");
    CutReader reader(ReadFile(DataFile("iis/" + file)));
    return ReadXmlDocument(reader);
}

// A configuration file, or IIS's configuration folder read as IIS reads it.
std::unique_ptr<Metabase> OpenConfiguration(const std::string& name) {
    const bool folder = !name.ends_with(".config");
    return std::make_unique<IisConfigurationMetabase>(
        folder ? ReadIisConfiguration(name, ReadData) : ReadData(name), "QUIMBROPC");
}

// The IIS section alone, written by a run whose metabase is `metabase`.
std::vector<std::string> IisSection(Metabase& metabase) {
    TempFolder root;
    RichComputer rich(root.path());
    rich.pc.registry["HKLM\\Software\\Microsoft\\InetStp\\VersionString"] =
        std::string("Version 10.0");
    auto& parts = rich.pc.computer();
    Computer computer{parts.automation, parts.processes, parts.groups, metabase, parts.clock};
    FakeWindow window;
    RunContext run(computer, window);
    InitializeRun(run);
    run.FileSystem->CreateFolder(run.DesktopPath + "\\QuimbroOutput");
    OpenLogFile(run);
    GatherIISInfo(run);
    CloseLogFile(run);
    return ReportLines(rich.desktop / "QuimbroOutput" / kReport);
}

TEST(IisConfiguration, SectionFromTheConfigurationFile) {
    for (const auto& row : Table("core/iis-sections.txt")) {
        SCOPED_TRACE(row[0]);
        FallbackMetabase metabase(std::make_unique<Unreachable>(),
                                  [&] { return OpenConfiguration(row[0]); });
        ExpectSameLines(IisSection(metabase), ExpectedLines(row[1]));
    }
}

// A reader that gives one node again and again never ends the reading with a document.
TEST(IisConfiguration, AReaderThatDoesNotMoveOnReadsNoDocument) {
    struct Stuck final : XmlPullReader {
        XmlNode Read() override {
            if (++reads > 1000) return XmlNode::End;
            return reads == 1 ? XmlNode::EmptyElement : XmlNode::Other;
        }
        Mark Where() override { return {2, reads == 1 ? 1 : 18, 0}; }
        XmlElement Element() override { return {"configuration", {}, {}}; }
        int reads = 0;
    } stuck;
    EXPECT_THROW(ReadXmlDocument(stuck), PlatformError);
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
