#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "platform/PlatformError.h"
#include "platform/win32/Registry.h"

namespace quimbro::win32::test {
namespace {

constexpr wchar_t kParent[] = L"Software";
constexpr wchar_t kName[] = L"QuimbroTest";
const std::string kPath = "HKCU\\Software\\QuimbroTest\\";

struct StoredCase {
    const char* label;
    DWORD type;
    std::vector<BYTE> data;
    Value expected;
};

std::vector<BYTE> Plus(std::vector<BYTE> bytes, std::vector<BYTE> more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return bytes;
}

class RegistryTypes : public testing::TestWithParam<StoredCase> {};

TEST_P(RegistryTypes, ReadAsTheCoreSeesThem) {
    const auto& stored = GetParam();
    TestKey key(HKEY_CURRENT_USER, kParent, kName);
    key.Set(L"Value", stored.type, stored.data);
    EXPECT_EQ(ReadRegistryValue(kPath + "Value"), stored.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, RegistryTypes,
    testing::Values(
        StoredCase{"Text", REG_SZ, BytesOf(L"Windows 2000", true), std::string("Windows 2000")},
        StoredCase{"TextWithoutNul", REG_SZ, BytesOf(L"5.0", false), std::string("5.0")},
        StoredCase{"TextWithOddByte", REG_SZ, Plus(BytesOf(L"abc", false), {'x'}),
                   std::string("abc")},
        StoredCase{"TextEndsAtNul", REG_SZ, BytesOf(std::wstring(L"one\0two", 7), true),
                   std::string("one")},
        StoredCase{"EmptyText", REG_SZ, {}, std::string()},
        StoredCase{"NonAscii", REG_SZ, BytesOf(L"Caf\u00e9 \u65e5", true),
                   std::string("Caf\xc3\xa9 \xe6\x97\xa5")},
        StoredCase{"ExpandableNotExpanded", REG_EXPAND_SZ, BytesOf(L"%SystemRoot%\\x", true),
                   std::string("%SystemRoot%\\x")},
        StoredCase{"Dword", REG_DWORD, {3, 0, 0, 0}, std::int64_t{3}},
        StoredCase{"DwordUnsigned", REG_DWORD, {0xff, 0xff, 0xff, 0xff}, std::int64_t{4294967295}},
        StoredCase{
            "Qword", REG_QWORD, {5, 0, 0, 0, 0, 0, 0, 0x80}, std::uint64_t{0x8000000000000005}},
        StoredCase{"MultiText", REG_MULTI_SZ, BytesOf(std::wstring(L"a\0bc\0", 5), true),
                   TextList{"a", "bc"}},
        StoredCase{"MultiTextWithoutEnd", REG_MULTI_SZ, BytesOf(std::wstring(L"a\0bc", 4), false),
                   TextList{"a", "bc"}},
        StoredCase{"EmptyMultiText", REG_MULTI_SZ, {0, 0}, TextList{}},
        StoredCase{"Binary", REG_BINARY, {1, 2, 0xfe}, Bytes{1, 2, 0xfe}},
        StoredCase{"ShortDwordAsBytes", REG_DWORD, {1, 2}, Bytes{1, 2}}),
    [](const auto& info) { return std::string(info.param.label); });

class RegistryPaths : public testing::Test {
  protected:
    void SetUp() override {
        key_.SetText(L"Text", L"found");
        key_.SetText(L"", L"default");
    }
    TestKey key_{HKEY_CURRENT_USER, kParent, kName};
};

TEST_F(RegistryPaths, RootsInEitherFormAndAnyCase) {
    for (const char* path :
         {"HKCU\\Software\\QuimbroTest\\Text", "hkcu\\Software\\QuimbroTest\\Text",
          "HKEY_CURRENT_USER\\Software\\QuimbroTest\\Text",
          "hkey_current_user\\software\\quimbrotest\\TEXT"})
        EXPECT_EQ(ReadRegistryValue(path), Value(std::string("found"))) << path;
}

TEST_F(RegistryPaths, TrailingBackslashReadsTheDefaultValue) {
    EXPECT_EQ(ReadRegistryValue(kPath), Value(std::string("default")));
}

TEST_F(RegistryPaths, WhatCannotBeReadFails) {
    for (const char* path :
         {"HKCU\\Software\\QuimbroTest\\Missing", "HKCU\\Software\\QuimbroTest\\NoSuchKey\\Text",
          "HKCU\\Software\\QuimbroTest\\Text\\", "HKCR\\Software\\QuimbroTest\\Text", "HKCU", "",
          "Software\\QuimbroTest\\Text"})
        EXPECT_THROW(ReadRegistryValue(path), PlatformError) << path;
}

// HKCU\Software is one key for both views, so the fallback is tested under HKLM\Software,
// which the private test prefix lets the test write in either view.
TEST(RegistryViews, The32BitViewServesWhatThe64BitViewLacks) {
    TestKey native(HKEY_LOCAL_MACHINE, kParent, kName, KEY_WOW64_64KEY);
    TestKey wow(HKEY_LOCAL_MACHINE, kParent, kName, KEY_WOW64_32KEY);
    native.SetText(L"Both", L"64-bit");
    wow.SetText(L"Both", L"32-bit");
    wow.SetText(L"Only32", L"from the 32-bit view");
    EXPECT_EQ(ReadRegistryValue("HKLM\\Software\\QuimbroTest\\Both"), Value(std::string("64-bit")));
    EXPECT_EQ(ReadRegistryValue("HKEY_LOCAL_MACHINE\\Software\\QuimbroTest\\Only32"),
              Value(std::string("from the 32-bit view")));
    EXPECT_THROW(ReadRegistryValue("HKLM\\Software\\QuimbroTest\\Neither"), PlatformError);
}

std::vector<std::string> Ours(const std::vector<std::string>& entries) {
    std::vector<std::string> ours;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(ours),
                 [](const std::string& entry) { return entry.rfind("QUIMBRO_", 0) == 0; });
    return ours;
}

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
        values.SetText(L"QUIMBRO_C", L"");
        EXPECT_EQ(Ours(EnvironmentClass(c.environmentClass)),
                  (std::vector<std::string>{"QUIMBRO_A=%SystemRoot%\\bin", "QUIMBRO_B=\\\\server",
                                            "QUIMBRO_C="}))
            << c.environmentClass;
    }
}

TEST(EnvironmentClasses, UnknownClassFails) {
    EXPECT_THROW(EnvironmentClass("PROCESS"), PlatformError);
    EXPECT_THROW(EnvironmentClass(""), PlatformError);
}

}  // namespace
}  // namespace quimbro::win32::test
