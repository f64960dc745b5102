#include "platform/Window.h"

#include "platform/PlatformError.h"

namespace quimbro {

void ProgressBar::SetValue(float value) {
    if (!(value >= min_ && value <= max_)) throw PlatformError("progress value out of range");
    value_ = value;
    Show(value);
}

}  // namespace quimbro
