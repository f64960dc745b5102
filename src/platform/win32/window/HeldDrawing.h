#pragma once

#include <array>

#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// The message list and the progress bar draw at the pace of the eye during a run, not after
// each change: every line drawn as it comes would repaint the list and its scroll bar, which
// costs Wine milliseconds each time, and the run's next change waits for the window meanwhile.
// What changed is drawn every kPace, on a timer of the window's thread.
class HeldDrawing {
  public:
    static constexpr UINT_PTR kTimer = 1;
    static constexpr UINT kPace = 100;

    // The run begins: the controls draw only at the pace from now on.
    void Hold(HWND window, HWND list, HWND bar);
    void Changed(HWND control);
    // At the timer: draws what changed.
    void Draw();
    // The run is over: the controls draw as they change again.
    void Release();

  private:
    struct Held {
        HWND control = nullptr;
        bool changed = false;
    };
    static void Redraw(HWND control);

    HWND window_ = nullptr;
    std::array<Held, 2> held_{};
};

}  // namespace quimbro::win32
