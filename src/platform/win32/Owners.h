#pragma once

#include "platform/win32/Win32.h"

#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <utility>

// One owner per kind of handle: the handle is released exactly once, by whoever holds it last.
namespace quimbro::win32 {

template <class Handle, class Release>
class Owner {
  public:
    Owner() = default;
    explicit Owner(Handle handle) : handle_(handle) {}
    ~Owner() { Reset(); }
    Owner(Owner&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    Owner& operator=(Owner&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, Handle{});
        }
        return *this;
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    // For an API that hands out a new handle through a pointer: emptied before the call.
    Handle* Receive() {
        Reset();
        return &handle_;
    }
    void Reset() {
        if (handle_ != Handle{}) Release{}(handle_);
        handle_ = Handle{};
    }
    // For a release whose result matters: the caller releases the handle itself.
    Handle Detach() { return std::exchange(handle_, Handle{}); }

  private:
    Handle handle_{};
};

struct CloseKernelHandle {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct CloseRegistryKey {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
struct CloseFind {
    void operator()(HANDLE find) const { ::FindClose(find); }
};
struct FreeCoTaskMemory {
    void operator()(void* memory) const { ::CoTaskMemFree(memory); }
};
struct FreeBstr {
    void operator()(BSTR text) const { ::SysFreeString(text); }
};

// Kernel handles; INVALID_HANDLE_VALUE is never stored (callers turn it into an empty owner).
using KernelHandle = Owner<HANDLE, CloseKernelHandle>;
using RegistryKey = Owner<HKEY, CloseRegistryKey>;
using FindHandle = Owner<HANDLE, CloseFind>;
using CoTaskString = Owner<PWSTR, FreeCoTaskMemory>;
using Bstr = Owner<BSTR, FreeBstr>;

// A handle from an API that reports failure as INVALID_HANDLE_VALUE.
inline HANDLE ValidOrNull(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

// A new BSTR holding the text; raises PlatformError when out of memory.
Bstr MakeBstr(const std::wstring& text);

template <class Interface>
struct ReleaseInterface {
    void operator()(Interface* pointer) const { pointer->Release(); }
};

template <class Interface>
class ComPtr : public Owner<Interface*, ReleaseInterface<Interface>> {
  public:
    using Owner<Interface*, ReleaseInterface<Interface>>::Owner;
    Interface* operator->() const { return this->Get(); }
    void** ReceiveVoid() { return reinterpret_cast<void**>(this->Receive()); }
};

// A VARIANT cleared when it goes.
class Variant {
  public:
    Variant() { ::VariantInit(&value_); }
    ~Variant() { ::VariantClear(&value_); }
    Variant(Variant&& other) noexcept : value_(other.value_) { ::VariantInit(&other.value_); }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            ::VariantClear(&value_);
            value_ = other.value_;
            ::VariantInit(&other.value_);
        }
        return *this;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    const VARIANT& Get() const { return value_; }
    VARIANT* Receive() {
        ::VariantClear(&value_);
        return &value_;
    }

  private:
    VARIANT value_;
};

// A failed COM call raises PlatformError naming what could not be done.
void CheckResult(HRESULT result, const char* what);

// COM for the calling thread, the run's: apartment-threaded, as the run makes and uses its
// objects on its own thread and nothing of another apartment calls into them. A thread already
// in the multithreaded apartment can use COM as it is and is left so.
class ComApartment {
  public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialized_ = false;
};

}  // namespace quimbro::win32
