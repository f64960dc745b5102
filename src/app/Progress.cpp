#include "app/Progress.h"

#include "context/Statements.h"

namespace quimbro {

void AdvanceProgress(RunContext& run) {
    Attempt([&] {
        auto& bar = run.window.ProgressBar1();
        bar.SetValue(bar.Value() + 2);
    });
}

}  // namespace quimbro
