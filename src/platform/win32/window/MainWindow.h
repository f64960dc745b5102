#pragma once

#include <exception>
#include <functional>
#include <memory>

#include "Controls.h"
#include "HeldDrawing.h"
#include "RunThread.h"
#include "WindowCalls.h"
#include "WindowOwners.h"
#include "app/Form1.h"
#include "platform/Computer.h"
#include "platform/Window.h"
#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// The window's class, by which a second start of the program finds the first one's window.
inline constexpr wchar_t kFormClassName[] = L"QuimbroForm1";
inline constexpr wchar_t kCaption[] = L"Vantorel Quimbro";
// Asks the window to come to the front, restored if minimised.
UINT ToFrontMessage();

// Form1 as a native window of real child controls. Creating it loads the form; the
// program ends when the window is gone. Its thread only takes its messages: the run has a
// thread of its own (RunThread), whose operations on the window are made here in turn.
// MainWindow.cpp holds its messages, Frame.cpp its frame and controls, SessionEnd.cpp the
// end of the Windows session.
class MainWindow final : public FormWindow, private ControlChanges {
  public:
    MainWindow(HINSTANCE instance, Computer& computer);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void Show(int showCommand);
    // The thread's message loop, until the window is gone or a failure has escaped an event
    // handler or the run; the program's exit code. A failure is reported over the window before
    // it returns.
    int RunMessageLoop();
    // Whether a run is still going on its thread.
    bool Running() const { return run_ && run_->Running(); }
    HWND Frame() const { return window_.Get(); }

    ListBox& List1() override { return *list1_; }
    ProgressBar& ProgressBar1() override { return *progressBar1_; }
    CommandButton& Start() override { return *start_; }
    CommandButton& Cancel() override { return *cancel_; }
    void Unload() override;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Frame.cpp
    void CreateFrame();
    void CreateControls();
    void Scale(UINT dpi);
    void PlaceFrame(UINT dpi, POINT topLeft);
    void LayOutControls();
    void ApplyFonts();
    void ShowLogo();
    HWND Control(int id) const;

    void OnCommand(int id, int code);
    void OnClose();
    void OnActivate(bool active);
    void OnStart();
    void OnRunEnded();
    void ToFront();
    // SessionEnd.cpp
    // A run that has not yet made its last step.
    bool HoldsSession() const;
    LRESULT OnQueryEndSession() const;
    void OnEndSession(bool ending);

    void Change(HWND control, std::function<void()> change) override;
    void Queue(HWND control, std::function<void()> change) override;
    // The change as the window's thread makes it.
    std::function<void()> Followed(HWND control, std::function<void()> change);
    void Changed(HWND control);
    void RememberFailure(std::exception_ptr failure);

    HINSTANCE instance_;
    WindowHandle window_;
    UINT dpi_ = 0;
    FontHandle font_;
    FontHandle titleFont_;
    BitmapHandle logo_;
    HWND focus_ = nullptr;
    // The first failure that escaped an event handler or the run; it ends the message loop.
    std::exception_ptr failure_;
    WindowCalls calls_;
    HeldDrawing drawing_;

    std::unique_ptr<NativeListBox> list1_;
    std::unique_ptr<NativeProgressBar> progressBar1_;
    std::unique_ptr<NativeButton> start_;
    std::unique_ptr<NativeButton> cancel_;
    std::unique_ptr<Form1> form_;
    std::unique_ptr<RunThread> run_;
};

// Shows a failure that ended the program in a message box over `owner` (none when null) and
// gives the program's exit code for it.
int ReportFailure(HWND owner, const std::exception_ptr& failure) noexcept;

}  // namespace quimbro::win32
