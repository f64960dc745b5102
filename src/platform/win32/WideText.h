#pragma once

#include <string>
#include <string_view>

// The one place where the core's UTF-8 text meets Windows' UTF-16 and 8-bit text.
namespace quimbro::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// Report text in the system's ANSI code page. A character the code page cannot show becomes
// "?", never a look-alike that would misreport a name or a path.
std::string AnsiText(std::string_view utf8);

}  // namespace quimbro::win32
