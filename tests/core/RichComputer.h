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

// The report log such a run writes, line by line.
std::vector<std::string> RichReport();

// The report lines of a run on a computer where nothing can be read.
std::vector<std::string> EmptyReport();

// The files that the copies bring into QuimbroOutput, with the three captures and the log.
std::vector<std::string> RichOutputTree();

// The lines of a report log; every line must end in CR LF.
std::vector<std::string> ReportLines(const std::filesystem::path& file);

// Compares line by line and names the first line that differs.
void ExpectSameLines(const std::vector<std::string>& actual,
                     const std::vector<std::string>& expected);

}  // namespace quimbro::test
