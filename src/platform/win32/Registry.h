#pragma once

#include <string>
#include <vector>

#include "platform/Value.h"
#include "platform/win32/Owners.h"

// Registry reads in the script host's terms.
namespace quimbro::win32 {

// "HKLM\key\...\value" (or HKEY_LOCAL_MACHINE, HKCU, HKEY_CURRENT_USER, in any letter case);
// an empty value name (a path ending in a backslash) is the key's default value.
struct RegistryPath {
    HKEY root = nullptr;
    std::wstring key;
    std::wstring valueName;
};
RegistryPath ParseRegistryPath(const std::string& path);

// A value's stored bytes as the core sees them: text unexpanded, REG_DWORD as a signed
// 64-bit number holding the unsigned value, REG_QWORD unsigned, REG_MULTI_SZ as a list and
// every other type as bytes.
Value RegistryData(DWORD type, const std::vector<BYTE>& data);

// Looks in the 64-bit view and then in the 32-bit one, where 32-bit products keep their
// values on 64-bit Windows. Raises PlatformError when the value is in neither.
Value ReadRegistryValue(const std::string& path);

// Whether HKLM holds `key` in this program's own view, the one its system libraries read.
bool MachineKeyExists(const std::wstring& key);

// "SYSTEM", "USER" or "VOLATILE": each variable as "NAME=value", value as stored, in the
// registry's own order.
std::vector<std::string> EnvironmentClass(const std::string& name);

}  // namespace quimbro::win32
