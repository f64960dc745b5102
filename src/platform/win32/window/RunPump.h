#pragma once

#include <array>
#include <chrono>

#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// What the window does with its messages while a run holds its thread, the one policy for it.
// The window answers the system (paints and every other pending message) and drops keyboard
// input and mouse input to its controls, so it stays alive to the eye, can be moved, minimised
// and restored, and its controls react to nothing until the run ends. It answers at the pace
// of the eye, not after every change of a control: after a change or a turn at most once per
// kPace, and at once whenever the run waits on the worker or a command and when the run ends. The
// message list and the progress bar draw only when the window answers and have changed, all of
// their changes at once: a list line drawn as it comes would repaint the list and its scroll
// bar each time, the bar repaints itself at once on every step (under Wine about 0.6 ms each,
// fifty times a run), and letting the list draw costs Wine tens of milliseconds even when
// nothing changed, time the commands the run waits for need. A held control that has not
// changed draws once per kRepair, to mend what another window uncovered. Whoever reads the
// window, on the screen or through its messages, reads it during an answer and sees the run as
// far as it has got.
class RunPump {
  public:
    static constexpr std::chrono::milliseconds kPace{100};
    static constexpr std::chrono::milliseconds kRepair{1000};

    // The run begins; the list and the bar draw only when the window answers until Release.
    void Hold(HWND list, HWND bar);
    // A control has changed during the run.
    void AfterChange(HWND control);
    // The run gives the window a turn: it answers when kPace has passed since its last answer.
    void Turn();
    // The run waits on a command, or has made its last change.
    void Now();
    // The run is over: the held controls draw as they change again.
    void Release();

  private:
    using Clock = std::chrono::steady_clock;

    struct Held {
        HWND control = nullptr;
        bool changed = false;
        bool drawing = false;
        Clock::time_point nextRepair{};
    };

    static void Draw(Held& held, bool draw);

    std::array<Held, 2> held_{};
    // The first change of a run answers at once.
    Clock::time_point next_{};
};

}  // namespace quimbro::win32
