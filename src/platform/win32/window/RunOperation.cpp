#include "WindowCalls.h"

namespace quimbro::win32 {

void MakeRunOperation(const std::function<void()>& operation) {
    operation();
}

}  // namespace quimbro::win32
