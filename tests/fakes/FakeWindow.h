#pragma once

#include <string>
#include <vector>

#include "platform/Window.h"

namespace quimbro::test {

// Records what a run does to the window, in order: "L:<line>" for an added line,
// "T:<n>" for a top-line request, "P:<value>" for a value the bar took.
class FakeWindow final : public FormWindow, ListBox, ProgressBar {
  public:
    ListBox& List1() override { return *this; }
    ProgressBar& ProgressBar1() override { return *this; }
    CommandButton& Start() override { return start; }
    CommandButton& Cancel() override { return cancel; }
    void Unload() override { unloaded = true; }

    struct Button final : CommandButton {
        void SetEnabled(bool value) override { enabled = value; }
        bool enabled = true;
    };

    std::vector<std::string> events;
    Button start, cancel;
    bool unloaded = false;

  private:
    void AddItem(const std::string& line) override { events.push_back("L:" + line); }
    void SetTopIndex(int index) override { events.push_back("T:" + std::to_string(index)); }
    void Show(float value) override {
        events.push_back("P:" + std::to_string(static_cast<int>(value)));
    }
};

}  // namespace quimbro::test
