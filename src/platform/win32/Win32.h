#pragma once

// The one way Quimbro's Windows sources include Windows.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The file-system object's CopyFile is its own operation, not the ANSI or wide API.
#undef CopyFile
