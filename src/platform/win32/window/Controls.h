#pragma once

#include <functional>
#include <string>

#include "platform/Window.h"
#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// Makes a change of a control on the window's thread, whichever thread asks, in the order
// asked, and lets the window follow it.
class ControlChanges {
  public:
    // Made before it returns, as what the user may do next depends on it; what it threw is
    // thrown here.
    virtual void Change(HWND control, std::function<void()> change) = 0;
    // Made in turn, soon; a change that fails there costs only itself.
    virtual void Queue(HWND control, std::function<void()> change) = 0;

  protected:
    ~ControlChanges() = default;
};

// The message list over a native list box. The child windows belong to the main window,
// which destroys them with itself.
class NativeListBox final : public ListBox {
  public:
    NativeListBox(HWND list, ControlChanges& changes) : list_(list), changes_(changes) {}
    void AddItem(const std::string& line) override;
    void SetTopIndex(int index) override;

  private:
    HWND list_;
    ControlChanges& changes_;
};

// The common-controls progress bar, 0 to 100 as the run expects.
class NativeProgressBar final : public ProgressBar {
  public:
    NativeProgressBar(HWND bar, ControlChanges& changes);

  protected:
    void Show(float value) override;

  private:
    HWND bar_;
    ControlChanges& changes_;
};

class NativeButton final : public CommandButton {
  public:
    NativeButton(HWND button, ControlChanges& changes) : button_(button), changes_(changes) {}
    void SetEnabled(bool enabled) override;

  private:
    HWND button_;
    ControlChanges& changes_;
};

}  // namespace quimbro::win32
