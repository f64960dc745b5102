#include "RunPump.h"

#include "PumpWhileBusy.h"

namespace quimbro::win32 {

void RunPump::Hold(HWND list, HWND bar) {
    // Both have just drawn themselves: nothing to mend yet.
    const auto nextRepair = Clock::now() + kRepair;
    held_ = {Held{list, false, false, nextRepair}, Held{bar, false, false, nextRepair}};
    for (auto& held : held_) Draw(held, false);
}

void RunPump::AfterChange(HWND control) {
    for (auto& held : held_)
        if (held.control != nullptr && held.control == control) held.changed = true;
    Turn();
}

void RunPump::Turn() {
    if (Clock::now() >= next_) Now();
}

void RunPump::Now() {
    const auto now = Clock::now();
    for (auto& held : held_) {
        held.drawing = held.control != nullptr && (held.changed || now >= held.nextRepair);
        if (held.drawing) Draw(held, true);
    }
    PumpWhileBusy();
    for (auto& held : held_) {
        if (!held.drawing) continue;
        Draw(held, false);
        held.nextRepair = Clock::now() + kRepair;
    }
    next_ = Clock::now() + kPace;
}

void RunPump::Release() {
    for (auto& held : held_) Draw(held, true);
    held_ = {};
}

void RunPump::Draw(Held& held, bool draw) {
    if (held.control == nullptr) return;
    SendMessageW(held.control, WM_SETREDRAW, draw ? TRUE : FALSE, 0);
    // A control that starts drawing again does not repaint on its own.
    if (draw) {
        RedrawWindow(held.control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        held.changed = false;
    }
}

}  // namespace quimbro::win32
