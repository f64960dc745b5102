#include "Layout.h"
#include "MainWindow.h"

// The end of the Windows session: held off while a run lasts; if it comes all the same, the
// program ends at once with what the run wrote.
namespace quimbro::win32 {

namespace {
// The Windows session ended the program during a run.
constexpr UINT kSessionEndExitCode = 0;
}  // namespace

bool MainWindow::HoldsSession() const {
    // Exit enabled is the run's last step: what is left of the run then is its return, and a
    // log-off that comes that moment (before the run's thread has returned) may go ahead.
    return Running() && !IsWindowEnabled(Control(kCancelId));
}

LRESULT MainWindow::OnQueryEndSession() const {
    // A run holds back the end of the session (SessionHold); otherwise it may end.
    return HoldsSession() ? FALSE : TRUE;
}

void MainWindow::OnEndSession(bool ending) {
    if (!ending || !HoldsSession()) return;
    // The report log is closed by the run, for at most RunThread::kEndWait; a copy in flight
    // lies under its temporary name. Ended at once, so that nothing on the way out waits for the
    // run or the worker.
    run_->EndSession();
    ::TerminateProcess(::GetCurrentProcess(), kSessionEndExitCode);
}

}  // namespace quimbro::win32
