#include "platform/win32/WindowsNetwork.h"

// The Windows headers first, then what builds on them.
#include "platform/win32/Owners.h"

#include <lmcons.h>

#include <string_view>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

std::string NonEmpty(const std::wstring& name, const char* what) {
    if (name.empty()) throw PlatformError(what);
    return Utf8(name);
}

// The token's user: a TOKEN_USER structure in a buffer of the size the token asks for.
std::vector<BYTE> AccountOfToken() {
    KernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive()) || !token)
        throw PlatformError("no process token");
    DWORD size = 0;
    ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size < sizeof(TOKEN_USER)) throw PlatformError("no token user");
    std::vector<BYTE> buffer(size, 0);
    if (!::GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size))
        throw PlatformError("no token user");
    return buffer;
}

}  // namespace

std::string WindowsNetwork::UserName() {
    std::wstring name(UNLEN + 1, L'\0');
    DWORD size = static_cast<DWORD>(name.size());
    if (!::GetUserNameW(name.data(), &size)) throw PlatformError("no user name");
    name.resize(std::wstring_view(name.c_str()).size());
    return NonEmpty(name, "no user name");
}

std::string WindowsNetwork::ComputerName() {
    std::wstring name(MAX_COMPUTERNAME_LENGTH + 1, L'\0');
    DWORD size = static_cast<DWORD>(name.size());
    if (!::GetComputerNameW(name.data(), &size)) throw PlatformError("no computer name");
    name.resize(std::wstring_view(name.c_str()).size());
    return NonEmpty(name, "no computer name");
}

std::string WindowsNetwork::UserDomain() {
    const std::vector<BYTE> user = AccountOfToken();
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    std::wstring name(256, L'\0');
    std::wstring domain(256, L'\0');
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD domainSize = static_cast<DWORD>(domain.size());
    SID_NAME_USE use{};
    if (!::LookupAccountSidW(nullptr, sid, name.data(), &nameSize, domain.data(), &domainSize,
                             &use))
        throw PlatformError("the account is unknown");
    domain.resize(std::wstring_view(domain.c_str()).size());
    return NonEmpty(domain, "no user domain");
}

}  // namespace quimbro::win32
