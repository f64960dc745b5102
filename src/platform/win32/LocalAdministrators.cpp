#include "platform/win32/LocalAdministrators.h"

// The Windows headers first, then what builds on them.
#include "platform/win32/Owners.h"

#include <lm.h>

#include <array>
#include <string_view>

#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsNetwork.h"

namespace quimbro::win32 {

namespace {

// NetAPI is not a KnownDLL. Loaded once, it stays: the buffers it hands out need it to be freed.
struct NetApi {
    SystemLibrary library{L"netapi32.dll"};
    decltype(&::NetLocalGroupGetMembers) getMembers =
        library.Procedure<decltype(::NetLocalGroupGetMembers)>("NetLocalGroupGetMembers");
    decltype(&::NetApiBufferFree) freeBuffer =
        library.Procedure<decltype(::NetApiBufferFree)>("NetApiBufferFree");
};

const NetApi& Net() {
    static const NetApi api;
    return api;
}

// Only a buffer from NetApi is ever held, so NetApi is there to free it.
struct FreeNetBuffer {
    void operator()(LPBYTE buffer) const { Net().freeBuffer(buffer); }
};
using NetBuffer = Owner<LPBYTE, FreeNetBuffer>;

// The server to ask: none for this computer, else the named one.
std::wstring ServerFor(const std::string& computerName) {
    if (computerName.empty() || EqualsIgnoringCase(computerName, WindowsNetwork().ComputerName()))
        return {};
    return L"\\\\" + Wide(computerName);
}

const wchar_t* OrLocal(const std::wstring& server) {
    return server.empty() ? nullptr : server.c_str();
}

// The group's name on that computer, in its language ("Administrators" in English).
std::wstring AdministratorsGroupName(const std::wstring& server) {
    std::array<BYTE, SECURITY_MAX_SID_SIZE> sid{};
    DWORD sidSize = static_cast<DWORD>(sid.size());
    if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid.data(), &sidSize))
        throw PlatformError("no administrators SID");
    std::wstring name(256, L'\0');
    std::wstring domain(256, L'\0');
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD domainSize = static_cast<DWORD>(domain.size());
    SID_NAME_USE use{};
    if (!::LookupAccountSidW(OrLocal(server), sid.data(), name.data(), &nameSize, domain.data(),
                             &domainSize, &use))
        throw PlatformError("the administrators group is unknown");
    name.resize(std::wstring_view(name.c_str()).size());
    if (name.empty()) throw PlatformError("the administrators group has no name");
    return name;
}

}  // namespace

std::vector<MemberName> LocalAdministrators::AdministratorsMembers(
    const std::string& computerName) {
    const std::wstring server = ServerFor(computerName);
    const std::wstring group = AdministratorsGroupName(server);
    const auto getMembers = Net().getMembers;
    std::vector<MemberName> members;
    DWORD_PTR resume = 0;
    for (;;) {
        NetBuffer buffer;
        DWORD read = 0;
        DWORD total = 0;
        const DWORD_PTR from = resume;
        const NET_API_STATUS status =
            getMembers(OrLocal(server), group.c_str(), 1, buffer.Receive(), MAX_PREFERRED_LENGTH,
                       &read, &total, &resume);
        if (status != NERR_Success && status != ERROR_MORE_DATA)
            throw PlatformError("the group's members cannot be read");
        // Some systems answer success with nothing filled in: that is no member.
        const auto* entries = reinterpret_cast<const LOCALGROUP_MEMBERS_INFO_1*>(buffer.Get());
        for (DWORD i = 0; entries && i < read; ++i) {
            if (entries[i].lgrmi1_name)
                members.emplace_back(Utf8(entries[i].lgrmi1_name));
            else
                members.emplace_back(std::nullopt);
        }
        if (status != ERROR_MORE_DATA || read == 0) break;
        // An enumeration that does not move on would repeat its members for ever.
        if (resume == from) throw PlatformError("the group's members cannot be read");
    }
    return members;
}

}  // namespace quimbro::win32
