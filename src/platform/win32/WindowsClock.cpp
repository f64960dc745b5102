#include "platform/win32/WindowsClock.h"

#include "platform/PlatformError.h"
#include "platform/win32/Owners.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

SYSTEMTIME SystemTimeOf(const DateTime& moment) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(moment.year);
    time.wMonth = static_cast<WORD>(moment.month);
    time.wDay = static_cast<WORD>(moment.day);
    time.wHour = static_cast<WORD>(moment.hour);
    time.wMinute = static_cast<WORD>(moment.minute);
    time.wSecond = static_cast<WORD>(moment.second);
    return time;
}

// Asks for the length first, then formats; both calls count the closing NUL.
template <class Format>
std::string Formatted(Format format) {
    const int needed = format(nullptr, 0);
    if (needed <= 0) throw PlatformError("the moment cannot be formatted");
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    const int written = format(text.data(), needed);
    if (written <= 0) throw PlatformError("the moment cannot be formatted");
    text.resize(std::wstring_view(text.c_str()).size());
    return Utf8(text);
}

}  // namespace

DateTime WindowsClock::Now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string WindowsClock::ShortDate(const DateTime& moment) {
    const SYSTEMTIME time = SystemTimeOf(moment);
    return Formatted([&](LPWSTR buffer, int size) {
        return ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer,
                                 size, nullptr);
    });
}

std::string WindowsClock::TimeOfDay(const DateTime& moment) {
    const SYSTEMTIME time = SystemTimeOf(moment);
    return Formatted([&](LPWSTR buffer, int size) {
        return ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, buffer, size);
    });
}

}  // namespace quimbro::win32
