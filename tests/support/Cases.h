#pragma once

// The case tables of tests/data, read the same way by every layer's tests.
#include <string>
#include <vector>

#include "platform/Value.h"

namespace quimbro::test {

// Every piece of `text` between separators, the last one too (empty after a final separator).
std::vector<std::string> Split(const std::string& text, const std::string& separator);

// A table's rows, each split at tabs; blank lines and "#" comments are left out, and a line's
// CR (REGEDIT4 files end their lines in CR LF).
std::vector<std::vector<std::string>> Rows(const std::string& text);

// A value as the tables write it: "BSTR text", "I4 n", "U8 n", "BOOL true", "LIST a|b" or
// "HEX 01,02".
Value ValueOf(const std::string& typed);

}  // namespace quimbro::test
