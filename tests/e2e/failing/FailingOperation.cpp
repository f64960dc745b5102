// The run's operations on the window in a test build of Quimbro.exe. The first one fails,
// inside Start's own first statement, so the failure escapes the run.
#include <stdexcept>

#include "platform/win32/window/WindowCalls.h"

namespace quimbro::win32 {

void MakeRunOperation(const std::function<void()>&) {
    throw std::runtime_error("The run's operation on the window failed (Größe 1½ €).");
}

}  // namespace quimbro::win32
