#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "fakes/FakeComputer.h"

namespace quimbro::test {

// The values of a REGEDIT4 file by their script-host path ("HKLM\key\name", "HKLM\key\" for
// the default value): strings, dword, hex(2) expandable text as stored, hex(7) lists and raw
// hex bytes.
std::map<std::string, Value, CaseInsensitiveLess> ReadRegistryFile(
    const std::filesystem::path& file);

}  // namespace quimbro::test
