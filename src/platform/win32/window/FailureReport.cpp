#include "MainWindow.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

// A failure without a text of its own.
constexpr wchar_t kUnknownFailure[] = L"Quimbro met an unexpected error and has to end.";
constexpr int kFailureExitCode = 1;

// The failure's own text, or none.
std::wstring TextOf(const std::exception_ptr& failure) noexcept {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        try {
            return Wide(error.what());
        } catch (...) {
            return {};
        }
    } catch (...) {
        return {};
    }
}

}  // namespace

int ReportFailure(HWND owner, const std::exception_ptr& failure) noexcept {
    const std::wstring text = TextOf(failure);
    // A quit already asked for would close the box at once.
    MSG quit{};
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    MessageBoxW(owner != nullptr && IsWindow(owner) ? owner : nullptr,
                text.empty() ? kUnknownFailure : text.c_str(), kCaption, MB_OK | MB_ICONERROR);
    return kFailureExitCode;
}

}  // namespace quimbro::win32
