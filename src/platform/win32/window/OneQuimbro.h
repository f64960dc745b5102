#pragma once

#include "platform/win32/Owners.h"

namespace quimbro::win32 {

// One Quimbro per Windows session: two runs would delete and fill the same QuimbroOutput. The
// first start holds a named mutex in the session's own namespace; a later start finds the
// first one's window, brings it to the front and ends, showing none of its own. Another
// user's session has a namespace of its own, and its own Quimbro.
class OneQuimbro {
  public:
    // How long a later start looks for the first one's window, which may not be made yet.
    static constexpr DWORD kFindLimit = 30'000;

    OneQuimbro();
    // False when another Quimbro of the session runs: its window has been asked to the front.
    bool First() const { return first_; }

  private:
    KernelHandle mutex_;
    bool first_ = true;
};

}  // namespace quimbro::win32
