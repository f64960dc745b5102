// The pump of a test build of Quimbro.exe. It fails the first time the run lets the window
// answer, inside Start's own first statement, so the failure escapes the event handler.
#include <stdexcept>

#include "platform/win32/window/PumpWhileBusy.h"

namespace quimbro::win32 {

void PumpWhileBusy() {
    throw std::runtime_error("The window's pump failed (Größe 1½ €).");
}

}  // namespace quimbro::win32
