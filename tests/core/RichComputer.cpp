#include "core/RichComputer.h"

#include "core/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace quimbro::test {

namespace {
const std::string kMeta = "IIS://QUIMBROPC/W3SVC";

void AddProductFiles(const fs::path& products) {
    for (const auto* file : {
             "AlmanBoard/logs/alman.log",
             "AlmanBoard/logs/2026/old.log",
             "AlmanBoard/logarchive/archive.log",
             "AlmanBoard/bin/alman.ini",
             "AlmanBoard/bin/alman.cfg",
             "AlmanBoard/bin/alman.exe",
             "jakarta-tomcat/logs/catalina.out",
             "jakarta-tomcat/bin/tomcat.bat",
             "jakarta-tomcat/bin/startup.bat",
             "jakarta-tomcat/conf/server.xml",
             "jakarta-tomcat/conf/tomcat-users.xml",
             "jakarta-tomcat/conf/README",
             "jakarta-tomcat/webapps/TarnApp/WEB-INF/classes/config.txt",
             "jakarta-tomcat/webapps/TarnApp/index.jsp",
             "Kestova/TarnApp/projects/catalog.txt",
             "Kestova/bin/error.log",
             "Kestova/bin/kestova.exe",
             "KXSetup/setup.log",
             "KXSetup/install.log",
             "KXSetup/setup.ini",
         })
        WriteFile(products / file, std::string("contents of ") + file);
}
}  // namespace

RichComputer::RichComputer(const fs::path& rootFolder)
    : root(rootFolder),
      desktop(rootFolder / "Users" / "Jo Smith" / "Desktop"),
      products(rootFolder / "Apps" / "Vantorel"),
      pc(rootFolder) {
    fs::create_directories(desktop);
    AddProductFiles(products);
    pc.desktop = desktop.string();
    pc.userName = "jsmith";
    pc.computerName = "QUIMBROPC";
    pc.userDomain = "VANTOREL";

    const std::string nt = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\";
    const std::string kx = "HKLM\\Software\\Vantorel Software\\KXSetup\\ComponentVersions\\";
    const std::string zones =
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\";
    const std::string office =
        "HKLM\\Software\\Microsoft\\Shared Tools\\MSInfo\\Categories\\Applications\\";
    const std::string ossery =
        "HKLM\\Software\\Vantorel Software\\Ossery\\2002.05.00\\Core\\Databases\\Dashboard\\";
    pc.registry = {
        {nt + "ProductName", std::string("Microsoft Windows 2000")},
        {nt + "CSDVersion", std::string("Service Pack 2")},
        {nt + "CurrentBuildNumber", std::string("2195")},
        {nt + "InstallDate", std::int64_t{1007553600}},
        {"HKLM\\Software\\Vantorel Software\\KXSetup\\Products\\qnduEnterprise\\Build",
         std::string("2002.05.00.117")},
        {"HKLM\\Software\\Vantorel Software\\AlmanBoard\\ALMANBOARD_HOME",
         std::string("D:\\Apps\\Vantorel\\AlmanBoard")},
        {kx + "MabrickCoreComponents", std::string("5.1.0")},
        {kx + "OsseryCoreFiles", std::string("2002.05.00")},
        {kx + "tzpqjakartatomcat", std::string("3.2.3")},
        {kx + "tzpqInstallFiles", std::int64_t{7}},
        {kx + "FenwodeCoreFiles", std::string("1.4")},
        {kx + "hublet", std::string("2.0")},
        {kx + "Drapewell", std::string("1.0.2")},
        {"HKLM\\Software\\Vantorel Software\\Kestova\\4.0\\InstallDirectory",
         products.string() + "\\Kestova"},
        {"HKLM\\Software\\Microsoft\\Internet Explorer\\Version", std::string("5.50.4522.1800")},
        {zones + "1\\1A02", std::int64_t{0}},
        {zones + "1\\1A03", std::int64_t{0}},
        {zones + "2\\1A02", std::int64_t{0}},
        {zones + "2\\1A03", std::int64_t{0}},
        {zones + "3\\1A02", std::int64_t{3}},
        {zones + "3\\1A03", std::int64_t{1}},
        {zones + "4\\1A02", std::int64_t{3}},
        {zones + "4\\1A03", std::int64_t{3}},
        {"HKLM\\Software\\Netscape\\Netscape Navigator\\CurrentVersion", std::string("4.7 (en)")},
        {"HKLM\\Software\\Microsoft\\InetStp\\VersionString", std::string("5.0")},
        {"HKLM\\Software\\JavaSoft\\Java Runtime Environment\\CurrentVersion", std::string("1.3")},
        {"HKLM\\SOFTWARE\\Classes\\Applications\\javaw.exe\\shell\\open\\command\\",
         std::string("\"C:\\Program Files\\JavaSoft\\JRE\\1.3\\bin\\javaw.exe\" -jar \"%1\" %*")},
        {office + "Access\\", std::string("9.0.0.2719")},
        {office + "Excel\\", std::string("9.0.0.2720")},
        {office + "FrontPage\\", std::string("4.0.2.2720")},
        {office + "Outlook\\", std::string("9.0.0.2711")},
        {office + "PowerPoint\\", std::string("9.0.0.2716")},
        {office + "Project\\", std::string("9.0.0.2001")},
        {office + "Publisher\\", std::string("5.0.0.2001")},
        {office + "Word\\", std::string("9.0.0.2717")},
        {"HKLM\\Software\\Microsoft\\MSSQLServer\\MSSQLServer\\CurrentVersion\\CurrentVersion",
         std::string("7.00.623")},
        {ossery + "MASTR\\Database", std::string("KX_WAREHOUSE")},
        {ossery + "TstD1\\Database", std::string("KX_SCHEMA")},
    };

    pc.environment = {
        {"SYSTEM",
         {"ComSpec=%SystemRoot%\\system32\\cmd.exe", "OS=Windows_NT",
          "Path=%SystemRoot%\\system32;%SystemRoot%"}},
        {"USER",
         {"TEMP=%USERPROFILE%\\Local Settings\\Temp", "TMP=%USERPROFILE%\\Local Settings\\Temp"}},
        {"VOLATILE", {"LOGONSERVER=\\\\VANTORELDC"}},
    };
    pc.processes =
        std::vector<ProcessEntry>{{"System Idle Process", 0}, {"System", 8}, {"java.exe", 1312}};
    pc.administrators = std::vector<MemberName>{"Administrator", "Domain Admins"};

    pc.metabase = {
        {kMeta, {{}, {"1", "Filters", "2", "Info"}}},
        {kMeta + "/Filters", {{{"Name", std::string("Filters")}}, {}}},
        {kMeta + "/Info", {{{"Name", std::string("Info")}}, {}}},
        {kMeta + "/1",
         {{{"Name", std::string("1")},
           {"ServerComment", std::string("Default Web Site")},
           {"ServerBindings", TextList{":80:", "10.0.0.5:8080:intranet"}},
           {"SecureBindings", TextList{":443:"}}},
          {}}},
        {kMeta + "/1/Root",
         {{{"AccessFlags", std::int64_t{513}},
           {"AnonymousUserName", std::string("IUSR_QUIMBROPC")}},
          {"TarnApp", "Scripts"}}},
        {kMeta + "/1/Root/TarnApp",
         {{{"Name", std::string("TarnApp")},
           {"Path", std::string("D:\\Apps\\Vantorel\\jakarta-tomcat\\webapps\\TarnApp")},
           {"AccessFlags", std::int64_t{1}},
           {"EnableDefaultDoc", true},
           {"DefaultDoc", std::string("index.jsp,default.htm")},
           {"AnonymousUserName", std::string("IUSR_QUIMBROPC")}},
          {}}},
        {kMeta + "/1/Root/Scripts",
         {{{"Name", std::string("Scripts")},
           {"Path", std::string("C:\\Inetpub\\scripts")},
           {"AccessFlags", std::int64_t{516}},
           {"EnableDefaultDoc", false},
           {"DefaultDoc", std::string("")},
           {"AnonymousUserName", std::string("IUSR_QUIMBROPC")}},
          {}}},
        {kMeta + "/1/Filters",
         {{{"FilterLoadOrder", std::string("sspifilt,Compression")}}, {"sspifilt", "Compression"}}},
        {kMeta + "/1/Filters/sspifilt",
         {{{"Name", std::string("sspifilt")},
           {"FilterPath", std::string("C:\\WINNT\\System32\\inetsrv\\sspifilt.dll")},
           {"FilterEnabled", true},
           {"FilterState", std::int64_t{1}}},
          {}}},
        {kMeta + "/1/Filters/Compression",
         {{{"Name", std::string("Compression")},
           {"FilterPath", std::string("C:\\WINNT\\System32\\inetsrv\\compfilt.dll")},
           {"FilterEnabled", false},
           {"FilterState", std::int64_t{4}}},
          {}}},
        {kMeta + "/2",
         {{{"Name", std::string("2")},
           {"ServerComment", std::string("Intranet")},
           {"ServerBindings", TextList{":81:"}},
           {"SecureBindings", TextList{}}},
          {}}},
        {kMeta + "/2/Root",
         {{{"AccessFlags", std::int64_t{1}}, {"AnonymousUserName", std::string("IUSR_INTRA")}},
          {}}},
        {kMeta + "/2/Filters", {{{"FilterLoadOrder", std::string("")}}, {}}},
    };
}

std::vector<std::string> ExpectedLines(const std::string& name) {
    const auto text = ReadFile(fs::path(QUIMBRO_EXPECTED_DIR) / name);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> ReportLines(const fs::path& file) {
    const auto text = ReadFile(file);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF in " << file;
    for (const auto& line : lines) EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    return lines;
}

void ExpectSameLines(const std::vector<std::string>& actual,
                     const std::vector<std::string>& expected) {
    const auto differ =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    EXPECT_TRUE(differ.first == actual.end() && differ.second == expected.end())
        << "first difference at line " << (differ.first - actual.begin()) + 1 << ": "
        << (differ.first == actual.end() ? "<end>" : *differ.first) << " instead of "
        << (differ.second == expected.end() ? "<end>" : *differ.second);
}

}  // namespace quimbro::test
