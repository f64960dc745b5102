#include "MainWindow.h"

#include <commctrl.h>

#include "Dpi.h"
#include "Layout.h"
#include "Logo.h"
#include "SessionHold.h"
#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"
#include "resource.h"

namespace quimbro::win32 {

namespace {

constexpr wchar_t kClassName[] = L"QuimbroForm1";
constexpr wchar_t kCaption[] = L"Vantorel Quimbro";
// A failure without a text of its own.
constexpr wchar_t kUnknownFailure[] = L"Quimbro met an unexpected error and has to end.";
constexpr int kFailureExitCode = 1;
// The Windows session ended the program during a run.
constexpr UINT kSessionEndExitCode = 0;
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
    formClass.lpszClassName = kClassName;
    if (RegisterClassExW(&formClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw PlatformError("window class not registered");
}

SIZE FrameSize(UINT dpi) {
    return WindowSizeFor(
        {TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)},
        kFrameStyle, kFrameExStyle, dpi);
}

// Enter and Escape go to the focused control only, so neither presses a button.
bool ForDialogManager(const MSG& message) {
    const bool key =
        message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
    return !(key && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE));
}

// The failure's own text, or none.
std::wstring TextOf(const std::exception_ptr& failure) noexcept {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        try {
            return Wide(error.what());
        } catch (...) {
            return {};
        }
    } catch (...) {
        return {};
    }
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Computer& computer, RunPump& pump)
    : instance_(instance), pump_(pump) {
    CreateFrame();
    CreateControls();
    Scale(DpiOf(window_.Get()));
    ControlChanges& changes = *this;
    list1_ = std::make_unique<NativeListBox>(Control(kList1Id), changes);
    progressBar1_ = std::make_unique<NativeProgressBar>(Control(kProgressBar1Id), changes);
    start_ = std::make_unique<NativeButton>(Control(kStartId), changes);
    cancel_ = std::make_unique<NativeButton>(Control(kCancelId), changes);
    focus_ = Control(kCancelId);
    form_ = std::make_unique<Form1>(computer, *this);
    form_->Form_Load();
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateFrame() {
    RegisterFormClass(instance_, &MainWindow::Procedure);
    // The window procedure takes the new window into window_ as it is created.
    CreateWindowExW(kFrameExStyle, kClassName, kCaption, kFrameStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    0, 0, nullptr, nullptr, instance_, this);
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

void MainWindow::Show(int showCommand) {
    // The message loop paints the window first thing, and answers whoever waits for it on the
    // way.
    ShowWindow(window_.Get(), showCommand);
    SetFocus(focus_);
}

int MainWindow::RunMessageLoop() {
    MSG message{};
    while (!failure_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) break;
        if (got == -1) return kFailureExitCode;
        const HWND window = window_.Get();
        if (window != nullptr && ForDialogManager(message) && IsDialogMessageW(window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (failure_) return ReportFailure(window_.Get(), failure_);
    return static_cast<int>(message.wParam);
}

void MainWindow::Unload() {
    if (!DestroyWindow(window_.Get())) throw PlatformError("window not closed");
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_.Adopt(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.Abandon();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may cross the system's frames: a failure is kept for the message loop,
    // which reports it and ends the program.
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        self->RememberFailure();
        return 0;
    }
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_.Get();
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_SETCURSOR:
            if (running_) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            PlaceFrame(HIWORD(wParam), {suggested->left, suggested->top});
            return 0;
        }
        case WM_QUERYENDSESSION:
            // A run holds back the end of the session (SessionHold); otherwise it may end.
            return running_ ? FALSE : TRUE;
        case WM_ENDSESSION:
            if (wParam != FALSE && running_) OnSessionEnd();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void MainWindow::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == kStartId) OnStart();
    if (id == kCancelId) form_->Cancel_Click();
}

void MainWindow::OnStart() {
    // The run holds the thread; meanwhile the window keeps the run's message policy (RunPump).
    const SessionHold session(window_.Get());
    running_ = true;
    pump_.Hold(Control(kList1Id), Control(kProgressBar1Id));
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    try {
        form_->Start_Click();
    } catch (...) {
        running_ = false;
        pump_.Release();
        throw;
    }
    running_ = false;
    pump_.Release();
    SetCursor(previous);
}

void MainWindow::OnSessionEnd() {
    // The session ends whatever the answer was. What the run wrote stays: the report log is
    // closed, and a copy in flight lies under its temporary name. Ended at once, so that
    // nothing on the way out waits for the worker.
    form_->EndSession();
    ::TerminateProcess(::GetCurrentProcess(), kSessionEndExitCode);
}

void MainWindow::OnClose() {
    // The close box acts as Exit, and like Exit does nothing during a run.
    if (IsWindowEnabled(Control(kCancelId))) form_->Cancel_Click();
}

void MainWindow::OnActivate(bool active) {
    // Like a dialog, the window gives the focus back to the control that last had it.
    if (!active) {
        const HWND focused = GetFocus();
        if (focused != nullptr && IsChild(window_.Get(), focused)) focus_ = focused;
        return;
    }
    if (focus_ != nullptr && IsWindowEnabled(focus_)) SetFocus(focus_);
}

void MainWindow::Changed(HWND control) {
    const HWND exitButton = Control(kCancelId);
    const bool exitEnabled = control == exitButton && IsWindowEnabled(exitButton);
    if (control == exitButton) {
        EnableMenuItem(GetSystemMenu(window_.Get(), FALSE), SC_CLOSE,
                       MF_BYCOMMAND | (exitEnabled ? MF_ENABLED : MF_GRAYED));
        // Back from a run the keyboard starts again where it started: on Exit.
        if (exitEnabled) {
            focus_ = exitButton;
            if (GetActiveWindow() == window_.Get()) SetFocus(exitButton);
        }
    }
    // A disabled button cannot keep the focus; it moves on in tab order.
    if (GetFocus() == control && !IsWindowEnabled(control)) {
        const HWND next = GetNextDlgTabItem(window_.Get(), control, FALSE);
        SetFocus(next != nullptr && next != control ? next : window_.Get());
    }
    if (!running_) return;
    // Exit enabled again is the run's last change.
    if (exitEnabled)
        pump_.Now();
    else
        pump_.AfterChange(control);
}

void MainWindow::RememberFailure() {
    if (!failure_) failure_ = std::current_exception();
    // Wakes the message loop should the failure have come from a message sent to the window.
    PostMessageW(window_.Get(), WM_NULL, 0, 0);
}

int ReportFailure(HWND owner, const std::exception_ptr& failure) noexcept {
    const std::wstring text = TextOf(failure);
    // A quit already asked for would close the box at once.
    MSG quit{};
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    MessageBoxW(owner != nullptr && IsWindow(owner) ? owner : nullptr,
                text.empty() ? kUnknownFailure : text.c_str(), kCaption, MB_OK | MB_ICONERROR);
    return kFailureExitCode;
}

}  // namespace quimbro::win32
