#pragma once

#include <string>

namespace quimbro {

// The controls of the window that a run touches.
class ListBox {
  public:
    virtual ~ListBox() = default;
    virtual void AddItem(const std::string& line) = 0;
    // Asks for the line shown first; the list clamps what it cannot show at the top.
    virtual void SetTopIndex(int index) = 0;
};

// A bar from Min to Max that refuses a value outside that range and keeps the old one.
class ProgressBar {
  public:
    virtual ~ProgressBar() = default;
    float Min() const { return min_; }
    float Max() const { return max_; }
    float Value() const { return value_; }
    // Raises PlatformError for a value outside Min..Max.
    void SetValue(float value);

  protected:
    virtual void Show(float value) = 0;

  private:
    float min_ = 0;
    float max_ = 100;
    float value_ = 0;
};

class CommandButton {
  public:
    virtual ~CommandButton() = default;
    virtual void SetEnabled(bool enabled) = 0;
};

class FormWindow {
  public:
    virtual ~FormWindow() = default;
    virtual ListBox& List1() = 0;
    virtual ProgressBar& ProgressBar1() = 0;
    virtual CommandButton& Start() = 0;
    virtual CommandButton& Cancel() = 0;
    // Closes the window; with it gone the program ends.
    virtual void Unload() = 0;
};

}  // namespace quimbro
