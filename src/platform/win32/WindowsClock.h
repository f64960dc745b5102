#pragma once

#include <string>

#include "platform/Computer.h"

namespace quimbro::win32 {

// Local time, shown in the user's short date and time formats.
class WindowsClock final : public Clock {
  public:
    DateTime Now() override;
    std::string ShortDate(const DateTime& moment) override;
    std::string TimeOfDay(const DateTime& moment) override;
};

}  // namespace quimbro::win32
