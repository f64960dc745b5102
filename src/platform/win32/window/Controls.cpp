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
    changes_.Queue(list_, [list = list_, text = Wide(line)] {
        const LRESULT added =
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (added == LB_ERR || added == LB_ERRSPACE) throw PlatformError("line not added");
    });
}

void NativeListBox::SetTopIndex(int index) {
    changes_.Queue(list_, [list = list_, index] {
        // The list refuses a line past its end; the run expects it to scroll as far as it can.
        const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        if (count == LB_ERR) throw PlatformError("list not readable");
        if (count == 0) return;
        const LRESULT top = std::clamp<LRESULT>(index, 0, count - 1);
        if (SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0) == LB_ERR)
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
    changes_.Queue(bar_, [bar = bar_, position = std::lround(value)] {
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    });
}

void NativeButton::SetEnabled(bool enabled) {
    changes_.Change(button_,
                    [button = button_, enabled] { EnableWindow(button, enabled ? TRUE : FALSE); });
}

}  // namespace quimbro::win32
