#pragma once

// A benchmark build (QUIMBRO_TRACE) appends "milliseconds<TAB>text" to the file named by the
// QUIMBRO_TRACE_FILE environment variable each time the window shows a step of the run, so
// the benchmark can tell where a run's time goes. In any other build the hooks are empty.
#ifdef QUIMBRO_TRACE

#include <string_view>

namespace quimbro::win32 {

// Never fails the run: a trace that cannot be written is left out.
void Trace(std::string_view text) noexcept;

}  // namespace quimbro::win32

#define QUIMBRO_TRACE_STEP(text) ::quimbro::win32::Trace(text)
#else
#define QUIMBRO_TRACE_STEP(text) static_cast<void>(0)
#endif
