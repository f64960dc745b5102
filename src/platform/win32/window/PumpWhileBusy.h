#pragma once

namespace quimbro::win32 {

// One answer of the window to the system during a run (see RunPump): every pending message
// handled, keyboard input and mouse input to the controls dropped (the frame can be moved,
// minimised and restored), a quit request kept for the message loop. Linked
// apart from the window, so a test build can bring one that fails.
void PumpWhileBusy();

}  // namespace quimbro::win32
