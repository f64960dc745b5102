#pragma once

#include <utility>

#include "platform/win32/Owners.h"
#include "platform/win32/Win32.h"

namespace quimbro::win32 {

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};

using FontHandle = Owner<HFONT, DeleteGdiObject>;
using BitmapHandle = Owner<HBITMAP, DeleteGdiObject>;

// The main window. The system destroys it on its own when it is closed, so the owner is
// told to let go then; a window still alive when its owner goes is destroyed.
class WindowHandle {
  public:
    WindowHandle() = default;
    ~WindowHandle() {
        if (window_ != nullptr) ::DestroyWindow(std::exchange(window_, nullptr));
    }
    WindowHandle(const WindowHandle&) = delete;
    WindowHandle& operator=(const WindowHandle&) = delete;

    HWND Get() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }
    void Adopt(HWND window) { window_ = window; }
    void Abandon() { window_ = nullptr; }

  private:
    HWND window_ = nullptr;
};

}  // namespace quimbro::win32
