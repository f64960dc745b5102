#include "app/Form1.h"

#include "app/Messages.h"
#include "app/Utility.h"
#include "context/Statements.h"

namespace quimbro {

namespace {
// The system is not detected: every run takes the gatherers' first accepted name.
constexpr char kOperatingSystem[] = "Windows 2000 Professional";
}  // namespace

void Form1::Form_Load() {
    ShowIntroMessage(run_);
    auto& bar = run_.window.ProgressBar1();
    bar.SetValue(bar.Min());
}

void Form1::Start_Click() {
    run_.window.Cancel().SetEnabled(false);
    run_.window.Start().SetEnabled(false);
    InitializeRun(run_);
    CreateOutputFolders(run_);
    OpenLogFile(run_);
    RunGatherers(run_, kOperatingSystem);
    WaitForCaptures(run_);
    CloseLogFile(run_);
    ShowFinishMessage(run_);
    run_.window.Cancel().SetEnabled(true);
}

void Form1::Cancel_Click() {
    run_.window.Unload();
}

void Form1::EndSession() {
    Attempt([&] { run_.Log().Close(); });
}

}  // namespace quimbro
