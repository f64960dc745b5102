#include "MainWindow.h"

// The end of the Windows session: held off while a run lasts; if it comes all the same, the
// program ends at once with what the run wrote.
namespace quimbro::win32 {

namespace {
// The Windows session ended the program during a run.
constexpr UINT kSessionEndExitCode = 0;
}  // namespace

LRESULT MainWindow::OnQueryEndSession() const {
    // A run holds back the end of the session (SessionHold); otherwise it may end.
    return Running() ? FALSE : TRUE;
}

void MainWindow::OnEndSession(bool ending) {
    if (!ending || !Running()) return;
    // The report log is closed by the run, for at most RunThread::kEndWait; a copy in flight
    // lies under its temporary name. Ended at once, so that nothing on the way out waits for the
    // run or the worker.
    run_->EndSession();
    ::TerminateProcess(::GetCurrentProcess(), kSessionEndExitCode);
}

}  // namespace quimbro::win32
