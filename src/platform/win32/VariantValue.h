#pragma once

#include "platform/Value.h"
#include "platform/win32/Owners.h"

namespace quimbro::win32 {

// A metabase property as the core sees it: a BSTR as text, the integer kinds as numbers, a
// VARIANT_BOOL as a flag, an array of strings as a list. Anything else raises PlatformError.
Value ValueOfVariant(const VARIANT& variant);

}  // namespace quimbro::win32
