#include <gtest/gtest.h>

#include <stdexcept>

#include "TestSupport.h"
#include "platform/PlatformError.h"
#include "platform/win32/Registry.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32::test {
namespace {

DWORD TypeNamed(const std::string& name) {
    const std::pair<const char*, DWORD> types[] = {
        {"REG_SZ", REG_SZ},       {"REG_EXPAND_SZ", REG_EXPAND_SZ}, {"REG_MULTI_SZ", REG_MULTI_SZ},
        {"REG_DWORD", REG_DWORD}, {"REG_QWORD", REG_QWORD},         {"REG_BINARY", REG_BINARY}};
    for (const auto& [typeName, type] : types)
        if (name == typeName) return type;
    throw std::invalid_argument(name);
}

// UTF-16 text with "\0" for a NUL, or "hex:" and the bytes themselves.
std::vector<BYTE> StoredData(const std::string& written) {
    if (written.starts_with("hex:")) return HexBytes(written.substr(4));
    std::wstring text = Wide(written);
    for (auto at = text.find(L"\\0"); at != std::wstring::npos; at = text.find(L"\\0"))
        text.replace(at, 2, 1, L'\0');
    const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
    return {bytes, bytes + text.size() * sizeof(wchar_t)};
}

// A line of four is a value stored and read by its name, a line of two a path read.
TEST(Registry, ValuesOfEveryTypeReadByPathsInEveryForm) {
    const auto cases = CaseTable("win32/registry.tsv");
    TestValues key(HKEY_CURRENT_USER, L"Software\\QuimbroTest");
    for (const auto& c : cases)
        if (c.size() == 4) key.Set(Wide(c[0]), TypeNamed(c[1]), StoredData(c[2]));
    for (const auto& c : cases) {
        const std::string path = c.size() == 4 ? "HKCU\\Software\\QuimbroTest\\" + c[0] : c[0];
        if (c.back() == "fails")
            EXPECT_THROW(ReadRegistryValue(path), PlatformError) << path;
        else
            EXPECT_EQ(ReadRegistryValue(path), ValueFrom(c.back())) << path;
    }
}

// HKCU\Software is one key for both views, so the fallback is tested under HKLM\Software,
// which the private test prefix lets the test write in either view.
TEST(RegistryViews, The32BitViewServesWhatThe64BitViewLacks) {
    TestValues native(HKEY_LOCAL_MACHINE, L"Software\\QuimbroTest", KEY_WOW64_64KEY);
    TestValues wow(HKEY_LOCAL_MACHINE, L"Software\\QuimbroTest", KEY_WOW64_32KEY);
    native.SetText(L"Both", L"64-bit");
    wow.SetText(L"Both", L"32-bit");
    wow.SetText(L"Only32", L"from the 32-bit view");
    EXPECT_EQ(ReadRegistryValue("HKLM\\Software\\QuimbroTest\\Both"), Value(std::string("64-bit")));
    EXPECT_EQ(ReadRegistryValue("HKLM\\Software\\QuimbroTest\\Only32"),
              Value(std::string("from the 32-bit view")));
    EXPECT_THROW(ReadRegistryValue("HKLM\\Software\\QuimbroTest\\Neither"), PlatformError);
}

// The test's own variables among the others, as stored and in their order; what is not text
// is no variable.
TEST(EnvironmentClasses, VariablesAsStoredInTheirOrder) {
    const struct {
        const char* environmentClass;
        HKEY root;
        const wchar_t* key;
    } cases[] = {
        {"SYSTEM", HKEY_LOCAL_MACHINE,
         L"System\\CurrentControlSet\\Control\\Session Manager\\Environment"},
        {"USER", HKEY_CURRENT_USER, L"Environment"},
        {"VOLATILE", HKEY_CURRENT_USER, L"Volatile Environment"},
    };
    for (const auto& c : cases) {
        TestValues values(c.root, c.key);
        values.SetText(L"QUIMBRO_A", L"%SystemRoot%\\bin", REG_EXPAND_SZ);
        values.SetText(L"QUIMBRO_B", L"\\\\server");
        values.Set(L"QUIMBRO_BYTES", REG_BINARY, {1, 2});
        values.SetText(L"QUIMBRO_C", L"");
        auto entries = EnvironmentClass(c.environmentClass);
        std::erase_if(entries,
                      [](const std::string& entry) { return !entry.starts_with("QUIMBRO_"); });
        EXPECT_EQ(entries, (std::vector<std::string>{"QUIMBRO_A=%SystemRoot%\\bin",
                                                     "QUIMBRO_B=\\\\server", "QUIMBRO_C="}))
            << c.environmentClass;
    }
    EXPECT_THROW(EnvironmentClass("PROCESS"), PlatformError);
    EXPECT_THROW(EnvironmentClass(""), PlatformError);
}

}  // namespace
}  // namespace quimbro::win32::test
