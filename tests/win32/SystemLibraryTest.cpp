// Windows DLLs that are not KnownDLLs, loaded from the system folder by name.
#include <gtest/gtest.h>

#include "platform/win32/SystemLibrary.h"

#include <lm.h>

namespace quimbro::win32 {
namespace {

TEST(SystemLibrary, LoadsFromTheSystemFolderWithItsFunctions) {
    const SystemLibrary netapi(L"netapi32.dll");
    EXPECT_NE(netapi.Procedure<decltype(::NetApiBufferFree)>("NetApiBufferFree"), nullptr);
    EXPECT_THROW(netapi.Procedure<void()>("QuimbroNoSuchFunction"), PlatformError);
    EXPECT_NO_THROW(SystemLibrary(L"activeds.dll"));
    EXPECT_THROW(SystemLibrary(L"quimbro-no-such.dll"), PlatformError);
}

}  // namespace
}  // namespace quimbro::win32
