#pragma once

#include "WindowOwners.h"
#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// The logo picture stored in the program as a JPEG, decoded and scaled to the given size.
// Needs COM on the calling thread.
BitmapHandle LoadLogo(HINSTANCE instance, SIZE size);

}  // namespace quimbro::win32
