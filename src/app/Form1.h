#pragma once

#include "context/ObjectsAndVariables.h"
#include "platform/Computer.h"
#include "platform/Window.h"

namespace quimbro {

// The window's behaviour, apart from any window toolkit: the native window forwards its
// load and its two buttons' clicks here.
class Form1 {
  public:
    Form1(Computer& computer, FormWindow& window) : run_(computer, window) {}

    void Form_Load();
    void Start_Click();   // the whole run, on the caller's thread
    void Cancel_Click();  // Exit
    // The Windows session ends during the run: the report log is closed so that what the run
    // wrote stays; the program ends next.
    void EndSession();

    const RunContext& Run() const { return run_; }

  private:
    RunContext run_;
};

}  // namespace quimbro
