#pragma once

#include <exception>
#include <memory>

#include "Controls.h"
#include "RunPump.h"
#include "WindowOwners.h"
#include "app/Form1.h"
#include "platform/Computer.h"
#include "platform/Window.h"
#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// Form1 as a native window of real child controls. Creating it loads the form; the
// program ends when the window is gone.
class MainWindow final : public FormWindow, private ControlChanges {
  public:
    // During a run the window answers the system through `pump`.
    MainWindow(HINSTANCE instance, Computer& computer, RunPump& pump);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void Show(int showCommand);
    // The thread's message loop, until the window is gone or an event handler has failed;
    // the program's exit code. A failure is reported over the window before it returns.
    int RunMessageLoop();

    ListBox& List1() override { return *list1_; }
    ProgressBar& ProgressBar1() override { return *progressBar1_; }
    CommandButton& Start() override { return *start_; }
    CommandButton& Cancel() override { return *cancel_; }
    void Unload() override;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateFrame();
    void CreateControls();
    void Scale(UINT dpi);
    void PlaceFrame(UINT dpi, POINT topLeft);
    void LayOutControls();
    void ApplyFonts();
    void ShowLogo();

    void OnCommand(int id, int code);
    void OnClose();
    void OnActivate(bool active);
    void OnStart();
    void OnSessionEnd();
    void Changed(HWND control) override;
    void RememberFailure();

    HWND Control(int id) const;

    HINSTANCE instance_;
    RunPump& pump_;
    WindowHandle window_;
    UINT dpi_ = 0;
    FontHandle font_;
    FontHandle titleFont_;
    BitmapHandle logo_;
    HWND focus_ = nullptr;
    bool running_ = false;
    // The first failure that escaped an event handler; it ends the message loop.
    std::exception_ptr failure_;

    std::unique_ptr<NativeListBox> list1_;
    std::unique_ptr<NativeProgressBar> progressBar1_;
    std::unique_ptr<NativeButton> start_;
    std::unique_ptr<NativeButton> cancel_;
    std::unique_ptr<Form1> form_;
};

// Shows a failure that ended the program in a message box over `owner` (none when null) and
// gives the program's exit code for it.
int ReportFailure(HWND owner, const std::exception_ptr& failure) noexcept;

}  // namespace quimbro::win32
