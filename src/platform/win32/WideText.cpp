#include "platform/win32/WideText.h"

#include <climits>

#include "platform/PlatformError.h"
#include "platform/win32/Owners.h"

namespace quimbro::win32 {

namespace {
int Length(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) throw PlatformError("text too long");
    return static_cast<int>(size);
}
}  // namespace

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int needed =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), Length(utf8.size()), nullptr, 0);
    if (needed <= 0) throw PlatformError("text is not UTF-8");
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    const int written =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), Length(utf8.size()), wide.data(), needed);
    if (written <= 0) throw PlatformError("text is not UTF-8");
    wide.resize(static_cast<std::size_t>(written));
    return wide;
}

namespace {
std::string Narrow(std::wstring_view wide, UINT codePage, DWORD flags, const char* substitute) {
    if (wide.empty()) return {};
    const int needed = ::WideCharToMultiByte(codePage, flags, wide.data(), Length(wide.size()),
                                             nullptr, 0, substitute, nullptr);
    if (needed <= 0) throw PlatformError("text cannot be converted");
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    const int written = ::WideCharToMultiByte(codePage, flags, wide.data(), Length(wide.size()),
                                              narrow.data(), needed, substitute, nullptr);
    if (written <= 0) throw PlatformError("text cannot be converted");
    narrow.resize(static_cast<std::size_t>(written));
    return narrow;
}
}  // namespace

std::string Utf8(std::wstring_view wide) {
    return Narrow(wide, CP_UTF8, 0, nullptr);
}

std::string AnsiText(std::string_view utf8) {
    const UINT codePage = ::GetACP();
    // A system whose ANSI code page is UTF-8 stores the text as it is; that code page also
    // refuses the flags and the substitute below.
    if (codePage == CP_UTF8) return std::string(utf8);
    return Narrow(Wide(utf8), codePage, WC_NO_BEST_FIT_CHARS, "?");
}

}  // namespace quimbro::win32
