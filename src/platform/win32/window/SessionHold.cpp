#include "SessionHold.h"

namespace quimbro::win32 {

SessionEndCalls& SessionEndCallsInUse() {
    static SessionEndCalls calls{&::ShutdownBlockReasonCreate, &::ShutdownBlockReasonDestroy};
    return calls;
}

SessionHold::SessionHold(HWND window) : window_(window) {
    // Without the reason Windows still waits for the window's answer; the run goes on.
    SessionEndCallsInUse().createReason(window_, kReason);
}

SessionHold::~SessionHold() {
    SessionEndCallsInUse().destroyReason(window_);
}

}  // namespace quimbro::win32
