#include "platform/win32/Registry.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

struct RootName {
    std::string_view shortName;
    std::string_view longName;
    HKEY root;
};

HKEY RootOf(std::string_view name) {
    const std::array<RootName, 2> roots{{
        {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    }};
    for (const auto& root : roots)
        if (EqualsIgnoringCase(name, root.shortName) || EqualsIgnoringCase(name, root.longName))
            return root.root;
    throw PlatformError("unknown registry root");
}

// The UTF-16 text of string data: an odd last byte is dropped, the text ends at the first
// NUL or, for data stored without one, at the end.
std::wstring StoredText(const std::vector<BYTE>& data) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    return text;
}

std::string TextUpToNul(const std::wstring& text) {
    return Utf8(std::wstring_view(text).substr(0, text.find(L'\0')));
}

// Strings one after the other, each ending in a NUL; an empty string ends the list.
TextList MultiText(const std::vector<BYTE>& data) {
    const std::wstring all = StoredText(data);
    TextList list;
    std::size_t start = 0;
    while (start < all.size()) {
        const std::size_t end = std::min(all.find(L'\0', start), all.size());
        if (end == start) break;
        list.push_back(Utf8(std::wstring_view(all).substr(start, end - start)));
        start = end + 1;
    }
    return list;
}

template <class Number>
std::optional<Number> NumberData(const std::vector<BYTE>& data) {
    if (data.size() < sizeof(Number)) return std::nullopt;
    Number number{};
    std::memcpy(&number, data.data(), sizeof(Number));
    return number;
}

RegistryKey OpenKey(HKEY root, const std::wstring& key, REGSAM access) {
    RegistryKey opened;
    if (::RegOpenKeyExW(root, key.c_str(), 0, access, opened.Receive()) != ERROR_SUCCESS || !opened)
        return {};
    return opened;
}

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// Far beyond any value the run reads; the registry keeps large data in files.
constexpr DWORD kLargestValue = 16 * 1024 * 1024;

// The value's type and bytes; empty when it does not exist. The size is asked again when
// the value grows between the two calls.
std::optional<RawValue> QueryValue(HKEY key, const std::wstring& name) {
    RawValue raw;
    DWORD size = 0;
    LONG status = ::RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, nullptr, &size);
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        raw.data.assign(size, 0);
        DWORD got = size;
        status = ::RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, raw.data.data(), &got);
        if (status == ERROR_SUCCESS) {
            raw.data.resize(std::min(got, size));
            return raw;
        }
        size = got > size ? got : size * 2 + 2;
        // A value that keeps growing as it is read is not read at all.
        if (size > kLargestValue) throw PlatformError("registry value too large");
    }
    return std::nullopt;
}

}  // namespace

RegistryPath ParseRegistryPath(const std::string& path) {
    const auto firstSeparator = path.find('\\');
    if (firstSeparator == std::string::npos) throw PlatformError("registry path without a key");
    RegistryPath parsed;
    parsed.root = RootOf(std::string_view(path).substr(0, firstSeparator));
    const auto lastSeparator = path.rfind('\\');
    parsed.valueName = Wide(std::string_view(path).substr(lastSeparator + 1));
    if (lastSeparator > firstSeparator)
        parsed.key = Wide(
            std::string_view(path).substr(firstSeparator + 1, lastSeparator - firstSeparator - 1));
    return parsed;
}

Value RegistryData(DWORD type, const std::vector<BYTE>& data) {
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            return TextUpToNul(StoredText(data));
        case REG_MULTI_SZ:
            return MultiText(data);
        case REG_DWORD:
            if (const auto number = NumberData<DWORD>(data))
                return static_cast<std::int64_t>(*number);
            break;
        case REG_QWORD:
            if (const auto number = NumberData<std::uint64_t>(data)) return *number;
            break;
        default:
            break;
    }
    return Bytes(data.begin(), data.end());
}

Value ReadRegistryValue(const std::string& path) {
    const RegistryPath where = ParseRegistryPath(path);
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        const RegistryKey key = OpenKey(where.root, where.key, KEY_QUERY_VALUE | view);
        if (!key) continue;
        if (auto raw = QueryValue(key.Get(), where.valueName))
            return RegistryData(raw->type, raw->data);
    }
    throw PlatformError("registry value missing");
}

bool MachineKeyExists(const std::wstring& key) {
    return static_cast<bool>(OpenKey(HKEY_LOCAL_MACHINE, key, KEY_QUERY_VALUE));
}

namespace {

struct EnvironmentKey {
    std::string_view className;
    HKEY root;
    const wchar_t* key;
};

RegistryKey OpenEnvironment(const std::string& name) {
    const std::array<EnvironmentKey, 3> classes{{
        {"SYSTEM", HKEY_LOCAL_MACHINE,
         L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment"},
        {"USER", HKEY_CURRENT_USER, L"Environment"},
        {"VOLATILE", HKEY_CURRENT_USER, L"Volatile Environment"},
    }};
    for (const auto& entry : classes) {
        if (!EqualsIgnoringCase(name, entry.className)) continue;
        auto key = OpenKey(entry.root, entry.key, KEY_QUERY_VALUE | KEY_WOW64_64KEY);
        if (!key) throw PlatformError("environment cannot be opened");
        return key;
    }
    throw PlatformError("unknown environment class");
}

// The value at the index, or none past the last one. Buffers grow while the value is larger.
std::optional<std::pair<std::wstring, RawValue>> EnumValue(HKEY key, DWORD index) {
    DWORD nameCapacity = 256;
    DWORD dataCapacity = 1024;
    for (;;) {
        std::wstring name(nameCapacity, L'\0');
        RawValue raw;
        raw.data.assign(dataCapacity, 0);
        DWORD nameLength = nameCapacity;
        DWORD dataSize = dataCapacity;
        const LONG status = ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr,
                                            &raw.type, raw.data.data(), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) return std::nullopt;
        if (status == ERROR_MORE_DATA) {
            nameCapacity *= 2;
            dataCapacity = std::max(dataCapacity * 2, dataSize);
            if (nameCapacity > 65536) throw PlatformError("environment value too large");
            continue;
        }
        if (status != ERROR_SUCCESS) throw PlatformError("environment cannot be read");
        name.resize(std::min(nameLength, nameCapacity));
        raw.data.resize(std::min(dataSize, dataCapacity));
        return std::make_pair(std::move(name), std::move(raw));
    }
}

}  // namespace

std::vector<std::string> EnvironmentClass(const std::string& name) {
    const RegistryKey key = OpenEnvironment(name);
    // The walk ends at the values the key holds, whatever the enumeration says.
    DWORD count = 0;
    if (::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                           nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        throw PlatformError("environment cannot be read");
    std::vector<std::string> entries;
    for (DWORD index = 0; index < count; ++index) {
        auto value = EnumValue(key.Get(), index);
        if (!value) break;
        // A value that is not text (a list or raw bytes) is no variable.
        try {
            entries.push_back(Utf8(value->first) + "=" +
                              ToText(RegistryData(value->second.type, value->second.data)));
        } catch (const PlatformError&) {
        }
    }
    return entries;
}

}  // namespace quimbro::win32
