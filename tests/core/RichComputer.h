#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "fakes/FakeComputer.h"

namespace quimbro::test {

// A computer where everything can be read: Windows, names, environment, processes,
// administrators, two IIS sites, browsers, Office, Java, SQL Server and an installation of
// the products on disk below `root`.
struct RichComputer {
    explicit RichComputer(const std::filesystem::path& root);

    std::filesystem::path root;
    std::filesystem::path desktop;   // root/Users/Jo Smith/Desktop
    std::filesystem::path products;  // root/Apps/Vantorel
    FakeComputer pc;
};

// The lines of a file of expected results: rich-report.txt (the report log of a run on the
// rich computer), empty-report.txt (a run where nothing can be read), rich-output-tree.txt
// (QuimbroOutput after a run on the rich computer).
std::vector<std::string> ExpectedLines(const std::string& name);

// The lines of a report log; every line must end in CR LF.
std::vector<std::string> ReportLines(const std::filesystem::path& file);

// Compares line by line and names the first line that differs.
void ExpectSameLines(const std::vector<std::string>& actual,
                     const std::vector<std::string>& expected);

}  // namespace quimbro::test
