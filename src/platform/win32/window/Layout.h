#pragma once

#include <array>

#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// The window's fixed layout, in twips from the client area's top left corner.
constexpr int kClientWidthTwips = 6570;
constexpr int kClientHeightTwips = 4650;

enum class ControlKind { Label, Title, Picture, List, Progress, Button, Separator };

struct ControlLayout {
    int id;
    ControlKind kind;
    const wchar_t* text;
    int left, top, width, height;
};

// Control ids stay clear of IDOK and IDCANCEL so that Enter and Escape press nothing.
enum ControlId : int {
    kCancelId = 100,
    kStartId,
    kProgressBar1Id,
    kStatusLabelId,
    kLabel2Id,
    kPicture1Id,
    kList1Id,
    kLine1Id,
};

// In tab order, which is the order of creation; the separator takes no focus and comes last.
constexpr std::array<ControlLayout, 8> kControls{{
    {kCancelId, ControlKind::Button, L"Exit", 5160, 4080, 1215, 375},
    {kStartId, ControlKind::Button, L"Start", 3840, 4080, 1215, 375},
    {kProgressBar1Id, ControlKind::Progress, L"", 120, 3240, 6255, 255},
    {kStatusLabelId, ControlKind::Label, L"Click Start to begin.", 120, 3000, 6255, 255},
    {kLabel2Id, ControlKind::Title, L"Tarnwick Information Gathering Tool", 2280, 120, 4095, 375},
    {kPicture1Id, ControlKind::Picture, L"", 240, 480, 1935, 1335},
    {kList1Id, ControlKind::List, L"", 2280, 480, 4095, 2400},
    // From (120, 3720) to (6360, 3720); an etched line is two pixels high.
    {kLine1Id, ControlKind::Separator, L"", 120, 3720, 6240, 30},
}};

}  // namespace quimbro::win32
