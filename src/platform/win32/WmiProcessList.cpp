#include "platform/win32/WmiProcessList.h"

// The Windows headers first, then what builds on them.
#include "platform/win32/Owners.h"

#include <tlhelp32.h>
#include <wbemidl.h>

#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

// A WMI that stops answering counts as a broken one; the snapshot then takes over.
constexpr LONG kNextTimeoutMilliseconds = 60000;

void Check(HRESULT result, const char* what) {
    if (FAILED(result)) throw PlatformError(what);
}

ComPtr<IWbemServices> ConnectCimv2() {
    ComPtr<IWbemLocator> locator;
    Check(::CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                             locator.ReceiveVoid()),
          "no WMI locator");
    if (!locator) throw PlatformError("no WMI locator");
    const Bstr nameSpace = MakeBstr(L"ROOT\\CIMV2");
    ComPtr<IWbemServices> services;
    Check(locator->ConnectServer(nameSpace.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                 services.Receive()),
          "WMI cannot be bound");
    if (!services) throw PlatformError("WMI cannot be bound");
    // The moniker "winmgmts:" impersonates the caller; so does this connection.
    Check(::CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                              RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                              EOAC_NONE),
          "WMI refuses the security settings");
    return services;
}

// Left empty when the property cannot be read.
void ReadProperty(IWbemClassObject& object, const wchar_t* name, Variant& value) {
    if (FAILED(object.Get(name, 0, value.Receive(), nullptr, nullptr))) value.Receive();
}

ProcessEntry EntryOf(IWbemClassObject& object) {
    ProcessEntry entry;
    Variant name;
    ReadProperty(object, L"Name", name);
    if (name.Get().vt == VT_BSTR && name.Get().bstrVal) entry.name = Utf8(name.Get().bstrVal);
    Variant id;
    ReadProperty(object, L"ProcessId", id);
    if (id.Get().vt == VT_I4) entry.id = static_cast<std::uint32_t>(id.Get().lVal);
    if (id.Get().vt == VT_UI4) entry.id = id.Get().ulVal;
    return entry;
}

}  // namespace

std::vector<ProcessEntry> WmiProcesses() {
    const ComApartment com;
    const ComPtr<IWbemServices> services = ConnectCimv2();
    const Bstr className = MakeBstr(L"Win32_Process");
    ComPtr<IEnumWbemClassObject> processes;
    Check(services->CreateInstanceEnum(className.Get(),
                                       WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY,
                                       nullptr, processes.Receive()),
          "no process set");
    if (!processes) throw PlatformError("no process set");
    std::vector<ProcessEntry> entries;
    for (;;) {
        ComPtr<IWbemClassObject> process;
        ULONG returned = 0;
        const HRESULT result =
            processes->Next(kNextTimeoutMilliseconds, 1, process.Receive(), &returned);
        Check(result, "the process set breaks off");
        if (result == WBEM_S_TIMEDOUT) throw PlatformError("WMI stopped answering");
        if (result != WBEM_S_NO_ERROR || returned != 1 || !process) break;
        entries.push_back(EntryOf(*process.Get()));
    }
    return entries;
}

std::vector<ProcessEntry> SnapshotProcesses() {
    const KernelHandle snapshot(ValidOrNull(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)));
    if (!snapshot) throw PlatformError("no process snapshot");
    std::vector<ProcessEntry> entries;
    PROCESSENTRY32W process{};
    process.dwSize = sizeof process;
    for (BOOL found = ::Process32FirstW(snapshot.Get(), &process); found;
         found = ::Process32NextW(snapshot.Get(), &process)) {
        process.szExeFile[MAX_PATH - 1] = L'\0';
        entries.push_back({Utf8(process.szExeFile), process.th32ProcessID});
        process = PROCESSENTRY32W{};
        process.dwSize = sizeof process;
    }
    return entries;
}

std::vector<ProcessEntry> WmiProcessList::RunningProcesses() {
    try {
        return WmiProcesses();
    } catch (const PlatformError&) {
        return SnapshotProcesses();
    }
}

}  // namespace quimbro::win32
