#pragma once

#include <string>
#include <vector>

#include "platform/Window.h"

namespace quimbro::test {

// Records what a run does to the window, in order: "L:<line>" for an added line,
// "T:<n>" for a top-line request, "P:<value>" for a value the bar took.
class FakeWindow final : public FormWindow {
  public:
    ListBox& List1() override { return list_; }
    ProgressBar& ProgressBar1() override { return bar_; }
    CommandButton& Start() override { return start_; }
    CommandButton& Cancel() override { return cancel_; }
    void Unload() override { unloaded = true; }

    std::vector<std::string> events;
    bool startEnabled = true;
    bool cancelEnabled = true;
    bool unloaded = false;

  private:
    struct List final : ListBox {
        explicit List(FakeWindow& w) : w(w) {}
        void AddItem(const std::string& line) override { w.events.push_back("L:" + line); }
        void SetTopIndex(int index) override { w.events.push_back("T:" + std::to_string(index)); }
        FakeWindow& w;
    };
    struct Bar final : ProgressBar {
        explicit Bar(FakeWindow& w) : w(w) {}
        void Show(float value) override {
            w.events.push_back("P:" + std::to_string(static_cast<int>(value)));
        }
        FakeWindow& w;
    };
    struct Button final : CommandButton {
        explicit Button(bool& enabled) : enabled(enabled) {}
        void SetEnabled(bool value) override { enabled = value; }
        bool& enabled;
    };

    List list_{*this};
    Bar bar_{*this};
    Button start_{startEnabled};
    Button cancel_{cancelEnabled};
};

}  // namespace quimbro::test
