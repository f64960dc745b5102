#pragma once

#include <string>
#include <string_view>
#include <utility>

// Windows path rules that hold on every host.
namespace quimbro {

// Name matching as Windows does it: letters in any case, * for any run of characters,
// ? for one character, and a trailing ".*" also matching a name without a dot ("*.*" is
// every name). Letters outside ASCII are compared exactly.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// ASCII letters in lower case; others as they are, as Windows compares names.
std::string FoldCase(std::string_view text);

// Splits at the last backslash (or slash): the folder part, without that separator unless
// it is a root, and the last component. A path without a separator has an empty folder part.
std::pair<std::string, std::string> SplitLastComponent(std::string_view path);

}  // namespace quimbro
