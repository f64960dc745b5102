// BenchCopyTree.exe <source folder> <destination folder>: copies a tree the plain way, folder
// by folder with FindFirstFileW, CreateDirectoryW and CopyFileW, the baseline for Quimbro's
// copies. Prints "copied<TAB>milliseconds<TAB>files bytes"; exit code 1 when a copy failed.
#include <cwchar>
#include <string>

#include "Bench.h"

namespace {

struct Copied {
    unsigned long long files = 0;
    unsigned long long bytes = 0;
    bool failed = false;
};

void CopyFolder(const std::wstring& source, const std::wstring& destination, Copied& copied) {
    if (!CreateDirectoryW(destination.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        copied.failed = true;
        return;
    }
    WIN32_FIND_DATAW entry{};
    const bench::FindHandle find(
        bench::ValidOrNull(FindFirstFileW((source + L"\\*").c_str(), &entry)));
    if (!find) {
        copied.failed = true;
        return;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyFolder(source + L"\\" + name, destination + L"\\" + name, copied);
        } else if (CopyFileW((source + L"\\" + name).c_str(), (destination + L"\\" + name).c_str(),
                             FALSE)) {
            ++copied.files;
            copied.bytes +=
                (static_cast<unsigned long long>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        } else {
            copied.failed = true;
        }
    } while (FindNextFileW(find.Get(), &entry));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: BenchCopyTree <source folder> <destination folder>\n", stderr);
        return 2;
    }
    Copied copied;
    const double started = bench::Milliseconds();
    CopyFolder(argv[1], argv[2], copied);
    const double ended = bench::Milliseconds();
    const std::string detail = std::to_string(copied.files) + " " + std::to_string(copied.bytes);
    bench::Report("copied", ended - started, detail.c_str());
    return copied.failed ? 1 : 0;
}
