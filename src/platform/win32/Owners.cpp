#include "platform/win32/Owners.h"

#include "platform/PlatformError.h"

namespace quimbro::win32 {

Bstr MakeBstr(const std::wstring& text) {
    Bstr made(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    if (!made) throw PlatformError("out of memory for a BSTR");
    return made;
}

void CheckResult(HRESULT result, const char* what) {
    if (FAILED(result)) throw PlatformError(what);
}

ComApartment::ComApartment() {
    const HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (result == RPC_E_CHANGED_MODE) return;
    CheckResult(result, "COM cannot be initialised");
    initialized_ = true;
}

ComApartment::~ComApartment() {
    if (initialized_) ::CoUninitialize();
}

}  // namespace quimbro::win32
