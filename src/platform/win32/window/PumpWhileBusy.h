#pragma once

namespace quimbro::win32 {

// Lets the window answer the system while a run holds its thread: paints and every other
// pending message are handled, and mouse and keyboard input is dropped, so the window stays
// alive to the eye and reacts to nothing until the run ends. A quit request is kept for the
// message loop.
void PumpWhileBusy();

}  // namespace quimbro::win32
