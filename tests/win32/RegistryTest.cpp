#include <gtest/gtest.h>

#include <tuple>

#include "TestSupport.h"
#include "platform/PlatformError.h"
#include "platform/win32/Registry.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32::test {
namespace {

// A line of four is a value stored and read by its name, a line of two a path read after them.
TEST(Registry, ValuesOfEveryTypeReadByPathsInEveryForm) {
    TestValues key(HKEY_CURRENT_USER, L"Software\\QuimbroTest");
    for (const auto& c : CaseTable("win32/registry.tsv")) {
        if (c.size() == 4) key.Set(Wide(c[0]), std::stoul(c[1]), c[2]);
        const std::string path = c.size() == 4 ? "HKCU\\Software\\QuimbroTest\\" + c[0] : c[0];
        if (c.back() == "fails")
            EXPECT_THROW(ReadRegistryValue(path), PlatformError) << path;
        else
            EXPECT_EQ(ReadRegistryValue(path), ValueOf(c.back())) << path;
    }
}

// HKCU\Software is one key for both views, so the fallback is tested under HKLM\Software,
// which the private test prefix lets the test write in either view.
TEST(RegistryViews, The32BitViewServesWhatThe64BitViewLacks) {
    TestValues native(HKEY_LOCAL_MACHINE, L"Software\\QuimbroTest", KEY_WOW64_64KEY);
    TestValues wow(HKEY_LOCAL_MACHINE, L"Software\\QuimbroTest", KEY_WOW64_32KEY);
    native.Set(L"Both", REG_SZ, "64-bit\\0");
    wow.Set(L"Both", REG_SZ, "32-bit\\0");
    wow.Set(L"Only32", REG_SZ, "32-bit only\\0");
    EXPECT_EQ(ReadRegistryValue("HKLM\\Software\\QuimbroTest\\Both"), Value(std::string("64-bit")));
    EXPECT_EQ(ReadRegistryValue("HKLM\\Software\\QuimbroTest\\Only32"),
              Value(std::string("32-bit only")));
    EXPECT_THROW(ReadRegistryValue("HKLM\\Software\\QuimbroTest\\Neither"), PlatformError);
}

// The test's own variables, as stored and in their order; what is not text is no variable.
TEST(EnvironmentClasses, VariablesAsStoredInTheirOrder) {
    for (const auto& [name, root, key] :
         {std::tuple{"SYSTEM", HKEY_LOCAL_MACHINE,
                     L"System\\CurrentControlSet\\Control\\Session Manager\\Environment"},
          std::tuple{"USER", HKEY_CURRENT_USER, L"Environment"},
          std::tuple{"VOLATILE", HKEY_CURRENT_USER, L"Volatile Environment"}}) {
        TestValues values(root, key);
        values.Set(L"QUIMBRO_A", REG_EXPAND_SZ, "%SystemRoot%\\bin\\0");
        values.Set(L"QUIMBRO_B", REG_SZ, "\\\\server\\0");
        values.Set(L"QUIMBRO_BYTES", REG_BINARY, "hex:01,02");
        values.Set(L"QUIMBRO_C", REG_SZ, "\\0");
        auto entries = EnvironmentClass(name);
        std::erase_if(entries,
                      [](const std::string& entry) { return !entry.starts_with("QUIMBRO_"); });
        EXPECT_EQ(entries, (std::vector<std::string>{"QUIMBRO_A=%SystemRoot%\\bin",
                                                     "QUIMBRO_B=\\\\server", "QUIMBRO_C="}))
            << name;
    }
    EXPECT_THROW(EnvironmentClass("PROCESS"), PlatformError);
    EXPECT_THROW(EnvironmentClass(""), PlatformError);
}

}  // namespace
}  // namespace quimbro::win32::test
