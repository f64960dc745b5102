#include "MainWindow.h"

#include "Dpi.h"
#include "Layout.h"
#include "platform/PlatformError.h"

// The window's messages: its buttons, its close box, its focus, a second start of the program,
// and the run's operations and end.
namespace quimbro::win32 {

namespace {

// Enter and Escape go to the focused control only, so neither presses a button.
bool ForDialogManager(const MSG& message) {
    const bool key =
        message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
    return !(key && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE));
}

}  // namespace

UINT ToFrontMessage() {
    static const UINT message = RegisterWindowMessageW(L"Vantorel.Quimbro.ToFront");
    return message;
}

MainWindow::MainWindow(HINSTANCE instance, Computer& computer) : instance_(instance) {
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
    run_ = std::make_unique<RunThread>(window_.Get(), *form_);
    form_->Form_Load();
}

MainWindow::~MainWindow() = default;

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
        if (got == -1) RememberFailure(std::make_exception_ptr(PlatformError("no message")));
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
        self->RememberFailure(std::current_exception());
        return 0;
    }
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_.Get();
    switch (message) {
        case WindowCalls::kMessage:
            calls_.Answer();
            return 0;
        case RunThread::kEndedMessage:
            OnRunEnded();
            return 0;
        case WM_TIMER:
            if (wParam != HeldDrawing::kTimer) break;
            drawing_.Draw();
            return 0;
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
            // Busy, and still answering.
            if (Running() && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
                return TRUE;
            }
            break;
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            PlaceFrame(HIWORD(wParam), {suggested->left, suggested->top});
            return 0;
        }
        case WM_QUERYENDSESSION:
            return OnQueryEndSession();
        case WM_ENDSESSION:
            OnEndSession(wParam != FALSE);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            // A message that could not be registered is none: 0 is WM_NULL.
            if (message == ToFrontMessage() && message != 0) {
                ToFront();
                return 0;
            }
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void MainWindow::OnCommand(int id, int code) {
    // Any program may send the window a button's click, a disabled button's too: a button acts
    // only while it is enabled. Both are disabled from Start until the run's last step.
    if (code != BN_CLICKED || (id != kStartId && id != kCancelId)) return;
    if (!IsWindowEnabled(Control(id))) return;
    if (id == kStartId)
        OnStart();
    else
        form_->Cancel_Click();
}

void MainWindow::OnStart() {
    // As the run will as its first step, before another click can come.
    cancel_->SetEnabled(false);
    start_->SetEnabled(false);
    drawing_.Hold(window_.Get(), Control(kList1Id), Control(kProgressBar1Id));
    run_->Start();
}

void MainWindow::OnRunEnded() {
    drawing_.Release();
    if (auto failure = run_->Ended()) std::rethrow_exception(failure);
}

void MainWindow::OnClose() {
    // The close box and Alt+F4 act as Exit, and like Exit do nothing during a run.
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

void MainWindow::ToFront() {
    if (IsIconic(window_.Get())) ShowWindow(window_.Get(), SW_RESTORE);
    SetForegroundWindow(window_.Get());
}

void MainWindow::Change(HWND control, std::function<void()> change) {
    // A session that ends stops the run here, on its own thread, with its report log closed.
    run_->Checkpoint();
    calls_.Make(window_.Get(), Followed(control, std::move(change)));
}

void MainWindow::Queue(HWND control, std::function<void()> change) {
    run_->Checkpoint();
    calls_.Queue(window_.Get(), Followed(control, std::move(change)));
}

std::function<void()> MainWindow::Followed(HWND control, std::function<void()> change) {
    return [this, control, change = std::move(change)] {
        change();
        Changed(control);
    };
}

void MainWindow::Changed(HWND control) {
    drawing_.Changed(control);
    const HWND exitButton = Control(kCancelId);
    if (control == exitButton) {
        const bool exitEnabled = IsWindowEnabled(exitButton) != FALSE;
        EnableMenuItem(GetSystemMenu(window_.Get(), FALSE), SC_CLOSE,
                       MF_BYCOMMAND | (exitEnabled ? MF_ENABLED : MF_GRAYED));
        // Back from a run the keyboard starts again where it started: on Exit. Exit enabled is
        // the run's last change: the list and the bar show the end at once.
        if (exitEnabled) {
            drawing_.Release();
            focus_ = exitButton;
            if (GetActiveWindow() == window_.Get()) SetFocus(exitButton);
        }
    }
    // A disabled button cannot keep the focus; it moves on in tab order.
    if (GetFocus() == control && !IsWindowEnabled(control)) {
        const HWND next = GetNextDlgTabItem(window_.Get(), control, FALSE);
        SetFocus(next != nullptr && next != control ? next : window_.Get());
    }
}

void MainWindow::RememberFailure(std::exception_ptr failure) {
    if (!failure_) failure_ = std::move(failure);
    // Wakes the message loop should the failure have come from a message sent to the window.
    PostMessageW(window_.Get(), WM_NULL, 0, 0);
}

}  // namespace quimbro::win32
