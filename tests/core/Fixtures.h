#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "fakes/FakeComputer.h"
#include "support/Cases.h"

namespace quimbro::test {

using Lines = std::vector<std::string>;

// A fresh folder for one test, removed afterwards.
struct TempFolder {
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const std::string& content);
std::string ReadFile(const std::filesystem::path& path);

// Every file and folder below `root`, relative with "/", folders ending in "/", sorted.
Lines TreeOf(const std::filesystem::path& root);

// A file below tests/data.
std::filesystem::path DataFile(const std::string& name);

// The rows of a table below tests/data: one a line, fields separated by tabs; empty lines and
// lines starting with "#" are none.
std::vector<Lines> Table(const std::string& name);

// "Name KIND text" sets the property, "Name" alone removes it.
void SetProperty(FakeMetabaseNode& node, const std::string& line);

// The lines of a file below tests/core/expected.
Lines ExpectedLines(const std::string& name);

// The lines of a report log; every line must end in CR LF.
Lines ReportLines(const std::filesystem::path& file);

// Compares the lines whole, showing where they differ.
void ExpectSameLines(const Lines& actual, const Lines& expected);

inline const std::string kReport = "Quimbro_1252026_34934.log";

// A computer where everything can be read (tests/data/rich): Windows, names, environment,
// processes, administrators, two IIS sites, browsers, Office, Java, SQL Server and an
// installation of the products below `root`.
struct RichComputer {
    explicit RichComputer(const std::filesystem::path& root);

    std::filesystem::path root;
    std::filesystem::path desktop;  // root/Users/Jo Smith/Desktop
    FakeComputer pc;
};

}  // namespace quimbro::test
