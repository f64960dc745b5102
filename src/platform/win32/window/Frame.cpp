#include "MainWindow.h"

#include <commctrl.h>

#include "Dpi.h"
#include "Layout.h"
#include "Logo.h"
#include "platform/PlatformError.h"
#include "resource.h"

// The frame and its controls: made, laid out in twips at the window's DPI, given their fonts
// and the logo.
namespace quimbro::win32 {

namespace {

// A fixed dialog-like frame: no sizing border, no maximize box.
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFrameExStyle = WS_EX_CONTROLPARENT;

struct ChildClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

ChildClass ClassOf(ControlKind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case ControlKind::Button:
            return {WC_BUTTONW, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case ControlKind::Progress:
            return {PROGRESS_CLASSW, kChild, 0};
        case ControlKind::Label:
        case ControlKind::Title:
            return {WC_STATICW, kChild | SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::Picture:
            return {WC_STATICW, kChild | SS_BITMAP | SS_REALSIZECONTROL, 0};
        case ControlKind::List:
            return {WC_LISTBOXW, kChild | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                    WS_EX_CLIENTEDGE};
        case ControlKind::Separator:
            return {WC_STATICW, kChild | SS_ETCHEDHORZ, 0};
    }
    throw PlatformError("unknown control");
}

void RegisterFormClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW formClass{};
    formClass.cbSize = sizeof formClass;
    formClass.lpfnWndProc = procedure;
    formClass.hInstance = instance;
    // Shared icons and cursors belong to the system; nothing to free.
    formClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUIMBRO),
                                                    IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                    GetSystemMetrics(SM_CYICON), LR_SHARED));
    formClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUIMBRO),
                                                      IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    formClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    formClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    formClass.lpszClassName = kFormClassName;
    if (RegisterClassExW(&formClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw PlatformError("window class not registered");
}

SIZE FrameSize(UINT dpi) {
    return WindowSizeFor(
        {TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)},
        kFrameStyle, kFrameExStyle, dpi);
}

}  // namespace

void MainWindow::CreateFrame() {
    RegisterFormClass(instance_, &MainWindow::Procedure);
    // The window procedure takes the new window into window_ as it is created.
    CreateWindowExW(kFrameExStyle, kFormClassName, kCaption, kFrameStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance_, this);
    if (!window_) throw PlatformError("window not created");
}

void MainWindow::CreateControls() {
    for (const ControlLayout& control : kControls) {
        const ChildClass childClass = ClassOf(control.kind);
        const HWND child = CreateWindowExW(
            childClass.exStyle, childClass.name, control.text, childClass.style, 0, 0, 0, 0,
            window_.Get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance_,
            nullptr);
        if (child == nullptr) throw PlatformError("control not created");
    }
}

HWND MainWindow::Control(int id) const {
    const HWND control = GetDlgItem(window_.Get(), id);
    if (control == nullptr) throw PlatformError("control missing");
    return control;
}

void MainWindow::Scale(UINT dpi) {
    // Centred on the primary screen's work area.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const SIZE size = FrameSize(dpi);
    PlaceFrame(dpi, {work.left + (work.right - work.left - size.cx) / 2,
                     work.top + (work.bottom - work.top - size.cy) / 2});
}

void MainWindow::PlaceFrame(UINT dpi, POINT topLeft) {
    dpi_ = dpi;
    const SIZE size = FrameSize(dpi);
    SetWindowPos(window_.Get(), nullptr, topLeft.x, topLeft.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyFonts();
    LayOutControls();
    ShowLogo();
}

void MainWindow::LayOutControls() {
    for (const ControlLayout& control : kControls) {
        SetWindowPos(Control(control.id), nullptr, TwipsToPixels(control.left, dpi_),
                     TwipsToPixels(control.top, dpi_), TwipsToPixels(control.width, dpi_),
                     TwipsToPixels(control.height, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MainWindow::ApplyFonts() {
    // Without the message font the controls keep the system's; the window still works.
    LOGFONTW face{};
    try {
        face = MessageFont(dpi_);
    } catch (const PlatformError&) {
        return;
    }
    FontHandle font{CreateFontIndirectW(&face)};
    face.lfWeight = FW_BOLD;
    FontHandle titleFont{CreateFontIndirectW(&face)};
    if (!font || !titleFont) return;
    for (const ControlLayout& control : kControls) {
        const HFONT chosen = control.kind == ControlKind::Title ? titleFont.Get() : font.Get();
        SendMessageW(Control(control.id), WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
    }
    // The controls hold the new fonts now; the old ones may go.
    font_ = std::move(font);
    titleFont_ = std::move(titleFont);
}

void MainWindow::ShowLogo() {
    const HWND picture = Control(kPicture1Id);
    RECT area{};
    GetClientRect(picture, &area);
    BitmapHandle logo;
    try {
        logo = LoadLogo(instance_, {area.right - area.left, area.bottom - area.top});
    } catch (const PlatformError&) {
        // A logo that cannot be decoded leaves the picture empty; nothing else needs it.
        return;
    }
    const auto previous = reinterpret_cast<HBITMAP>(
        SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo.Get())));
    // The control may hand back a copy it made of our last logo; that copy is ours to free.
    if (previous != nullptr && previous != logo_.Get()) DeleteObject(previous);
    logo_ = std::move(logo);
}

}  // namespace quimbro::win32
