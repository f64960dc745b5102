#include "HeldDrawing.h"

namespace quimbro::win32 {

void HeldDrawing::Hold(HWND window, HWND list, HWND bar) {
    window_ = window;
    held_ = {Held{list, false}, Held{bar, false}};
    for (const auto& held : held_) SendMessageW(held.control, WM_SETREDRAW, FALSE, 0);
    // Without the timer the controls are drawn at the run's end only.
    SetTimer(window_, kTimer, kPace, nullptr);
}

void HeldDrawing::Changed(HWND control) {
    for (auto& held : held_)
        if (held.control != nullptr && held.control == control) held.changed = true;
}

void HeldDrawing::Draw() {
    for (auto& held : held_) {
        if (!held.changed) continue;
        held.changed = false;
        Redraw(held.control);
        SendMessageW(held.control, WM_SETREDRAW, FALSE, 0);
    }
}

void HeldDrawing::Release() {
    if (window_ == nullptr) return;
    KillTimer(window_, kTimer);
    for (const auto& held : held_) Redraw(held.control);
    window_ = nullptr;
    held_ = {};
}

void HeldDrawing::Redraw(HWND control) {
    SendMessageW(control, WM_SETREDRAW, TRUE, 0);
    // A control that starts drawing again does not repaint on its own.
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

}  // namespace quimbro::win32
