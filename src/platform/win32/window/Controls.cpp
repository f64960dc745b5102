#include "Controls.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "Trace.h"
#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

void NativeListBox::AddItem(const std::string& line) {
    QUIMBRO_TRACE_STEP(line);
    const std::wstring text = Wide(line);
    changes_.Change(list_, [&] {
        const LRESULT added =
            SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (added == LB_ERR || added == LB_ERRSPACE) throw PlatformError("line not added");
    });
}

void NativeListBox::SetTopIndex(int index) {
    changes_.Change(list_, [&] {
        // The list refuses a line past its end; the run expects it to scroll as far as it can.
        const LRESULT count = SendMessageW(list_, LB_GETCOUNT, 0, 0);
        if (count == LB_ERR) throw PlatformError("list not readable");
        if (count == 0) return;
        const LRESULT top = std::clamp<LRESULT>(index, 0, count - 1);
        if (SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0) == LB_ERR)
            throw PlatformError("top line not set");
    });
}

NativeProgressBar::NativeProgressBar(HWND bar, ControlChanges& changes)
    : bar_(bar), changes_(changes) {
    SendMessageW(bar_, PBM_SETRANGE32, static_cast<WPARAM>(std::lround(Min())),
                 static_cast<LPARAM>(std::lround(Max())));
}

void NativeProgressBar::Show(float value) {
    QUIMBRO_TRACE_STEP("progress " + std::to_string(std::lround(value)));
    changes_.Change(
        bar_, [&] { SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(std::lround(value)), 0); });
}

void NativeButton::SetEnabled(bool enabled) {
    changes_.Change(button_, [&] { EnableWindow(button_, enabled ? TRUE : FALSE); });
}

}  // namespace quimbro::win32
