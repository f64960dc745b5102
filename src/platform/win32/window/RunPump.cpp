#include "RunPump.h"

#include "PumpWhileBusy.h"

namespace quimbro::win32 {

void RunPump::Hold(HWND list) {
    list_ = list;
    Draw(false);
    // The list has just drawn itself: nothing to mend yet.
    nextRepair_ = Clock::now() + kRepair;
}

void RunPump::AfterChange(HWND control) {
    if (control == list_) listChanged_ = true;
    if (Clock::now() >= next_) Now();
}

void RunPump::Now() {
    const bool draw = listChanged_ || Clock::now() >= nextRepair_;
    if (draw) Draw(true);
    PumpWhileBusy();
    if (draw) {
        Draw(false);
        nextRepair_ = Clock::now() + kRepair;
    }
    next_ = Clock::now() + kPace;
}

void RunPump::Release() {
    Draw(true);
    list_ = nullptr;
}

void RunPump::Draw(bool draw) {
    if (list_ == nullptr) return;
    SendMessageW(list_, WM_SETREDRAW, draw ? TRUE : FALSE, 0);
    // A list that starts drawing again does not repaint on its own.
    if (draw) {
        RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        listChanged_ = false;
    }
}

}  // namespace quimbro::win32
