#pragma once

#include "WindowOwners.h"
#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// The logo picture, stored in the program as a bitmap at twice its size at 96 DPI, drawn at
// the given size.
BitmapHandle LoadLogo(HINSTANCE instance, SIZE size);

}  // namespace quimbro::win32
