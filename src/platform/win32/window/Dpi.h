#pragma once

#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// 1440 twips make an inch; at 96 dots per inch 15 twips make a pixel.
constexpr UINT kDefaultDpi = 96;

// The window's own DPI where the system knows it per window (Windows 10 1607 and later),
// otherwise the screen's.
UINT DpiOf(HWND window);

int TwipsToPixels(int twips, UINT dpi);

// The outer size of a window with the given client size, frame and DPI.
SIZE WindowSizeFor(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

// The system's message font at the given DPI.
LOGFONTW MessageFont(UINT dpi);

}  // namespace quimbro::win32
