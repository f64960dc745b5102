// An "IIS:" ADSI provider for the end-to-end tests. It serves the metabase written in the file
// iis6.metabase beside the DLL as IIS 6's provider does: an object's name through get_Name
// only, its properties through Get in IIS 6's VARIANT kinds, its children through
// get__NewEnum. What neither Wine's ADSI nor Quimbro calls answers E_NOTIMPL.
#include <windows.h>

#include <adserr.h>
#include <iads.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <sstream>
#include <string>
#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// {59DAFE3F-631C-4F1F-9F37-135C9927DCB2}, registered by the test under its ProgID.
constexpr CLSID kProviderClass = {
    0x59dafe3f, 0x631c, 0x4f1f, {0x9f, 0x37, 0x13, 0x5c, 0x99, 0x27, 0xdc, 0xb2}};

std::wstring Upper(std::wstring text) {
    ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// `self`, counted, when it is what was asked for.
HRESULT Answer(IUnknown* self, bool asked, void** out) {
    if (!out) return E_POINTER;
    *out = asked ? self : nullptr;
    if (!asked) return E_NOINTERFACE;
    self->AddRef();
    return S_OK;
}

// The provider and the metabase's objects live as long as the DLL, which COM never unloads (it
// has no DllCanUnloadNow): they count no references.
template <class... Interfaces>
class Lasting : public Interfaces... {
  public:
    ULONG WINAPI AddRef() override { return 1; }
    ULONG WINAPI Release() override { return 1; }
    HRESULT WINAPI GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT WINAPI GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT WINAPI GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                          UINT*) override {
        return E_NOTIMPL;
    }
};

// One pass over an object's children; it ends with its last reference.
class Enumerator final : public IEnumVARIANT {
  public:
    explicit Enumerator(const std::vector<IDispatch*>& items) : items_(items) {}

    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        return Answer(this, iid == IID_IUnknown || iid == IID_IEnumVARIANT, out);
    }
    ULONG WINAPI AddRef() override { return ++references_; }
    ULONG WINAPI Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT WINAPI Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (!out) return E_POINTER;
        ULONG given = 0;
        for (; given < count && next_ < items_.size(); ++given, ++next_) {
            out[given].vt = VT_DISPATCH;
            out[given].pdispVal = items_[next_];
            out[given].pdispVal->AddRef();
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT WINAPI Skip(ULONG) override { return E_NOTIMPL; }
    HRESULT WINAPI Reset() override { return E_NOTIMPL; }
    HRESULT WINAPI Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

  private:
    const std::vector<IDispatch*>& items_;
    std::size_t next_ = 0;
    std::atomic<ULONG> references_ = 1;
};

// A property's value as IIS 6 gives it: I4, BOOL, BSTR, or LIST (BSTRs split at "|").
VARIANT Value(const std::wstring& kind, const std::wstring& text) {
    VARIANT value{};
    value.vt = VT_BSTR;
    value.bstrVal = ::SysAllocString(text.c_str());
    if (kind == L"I4" || kind == L"BOOL")
        ::VariantChangeType(&value, &value, 0, kind == L"I4" ? VT_I4 : VT_BOOL);
    if (kind != L"LIST") return value;
    ::VariantClear(&value);
    const auto count = text.empty() ? 0 : std::count(text.begin(), text.end(), L'|') + 1;
    value.parray = ::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(count));
    value.vt = value.parray ? VT_ARRAY | VT_VARIANT : VT_EMPTY;
    std::wistringstream entries(text);
    for (LONG i = 0; value.parray && i < count; ++i) {
        std::wstring entry;
        std::getline(entries, entry, L'|');
        static_cast<VARIANT*>(value.parray->pvData)[i].vt = VT_BSTR;
        static_cast<VARIANT*>(value.parray->pvData)[i].bstrVal = ::SysAllocString(entry.c_str());
    }
    return value;
}

class Object final : public Lasting<IADs, IADsContainer> {
  public:
    explicit Object(std::wstring name) : name_(std::move(name)) {}

    // By name; they last as long as the DLL.
    std::vector<std::pair<std::wstring, VARIANT>> properties;
    std::vector<IDispatch*> children;

    IDispatch* AsDispatch() { return static_cast<IADs*>(this); }

    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IADsContainer) return Answer(static_cast<IADsContainer*>(this), true, out);
        return Answer(AsDispatch(), iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IADs,
                      out);
    }

    HRESULT WINAPI get_Name(BSTR* name) override {
        if (!name) return E_POINTER;
        *name = ::SysAllocString(name_.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }

    // The name is not among the properties: Get("Name") fails as on IIS 6.
    HRESULT WINAPI Get(BSTR name, VARIANT* value) override {
        if (!name || !value) return E_POINTER;
        ::VariantInit(value);
        for (auto& [key, stored] : properties)
            if (::_wcsicmp(key.c_str(), name) == 0) return ::VariantCopy(value, &stored);
        return E_ADS_PROPERTY_NOT_FOUND;
    }

    HRESULT WINAPI get__NewEnum(IUnknown** out) override {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) Enumerator(children);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT WINAPI get_Class(BSTR*) override { return E_NOTIMPL; }
    HRESULT WINAPI get_GUID(BSTR*) override { return E_NOTIMPL; }
    HRESULT WINAPI get_ADsPath(BSTR*) override { return E_NOTIMPL; }
    HRESULT WINAPI get_Parent(BSTR*) override { return E_NOTIMPL; }
    HRESULT WINAPI get_Schema(BSTR*) override { return E_NOTIMPL; }
    HRESULT WINAPI GetInfo() override { return E_NOTIMPL; }
    HRESULT WINAPI SetInfo() override { return E_NOTIMPL; }
    HRESULT WINAPI Put(BSTR, VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI GetEx(BSTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT WINAPI PutEx(LONG, BSTR, VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI GetInfoEx(VARIANT, LONG) override { return E_NOTIMPL; }
    HRESULT WINAPI get_Count(LONG*) override { return E_NOTIMPL; }
    HRESULT WINAPI get_Filter(VARIANT*) override { return E_NOTIMPL; }
    HRESULT WINAPI put_Filter(VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI get_Hints(VARIANT*) override { return E_NOTIMPL; }
    HRESULT WINAPI put_Hints(VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI GetObject(BSTR, BSTR, IDispatch**) override { return E_NOTIMPL; }
    HRESULT WINAPI Create(BSTR, BSTR, IDispatch**) override { return E_NOTIMPL; }
    HRESULT WINAPI Delete(BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT WINAPI CopyHere(BSTR, BSTR, IDispatch**) override { return E_NOTIMPL; }
    HRESULT WINAPI MoveHere(BSTR, BSTR, IDispatch**) override { return E_NOTIMPL; }

  private:
    std::wstring name_;
};

// The objects of the data file, by upper-case path below "IIS://computer/". The file: "[path]"
// opens an object, each line below it is a property: name, kind, value.
struct Metabase {
    Metabase() {
        std::wstring file(MAX_PATH, L'\0');
        file.resize(
            ::GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), file.data(), MAX_PATH));
        std::wifstream in(std::filesystem::path(file).replace_filename(L"iis6.metabase"));
        Object* current = nullptr;
        for (std::wstring line; std::getline(in, line);) {
            if (line.starts_with(L'[')) {
                const auto path = line.substr(1, line.find(L']') - 1);
                const auto slash = path.rfind(L'/');
                current = &objects.try_emplace(Upper(path), path.substr(slash + 1)).first->second;
                if (slash != path.npos)
                    objects.at(Upper(path.substr(0, slash)))
                        .children.push_back(current->AsDispatch());
            } else if (current && !line.empty()) {
                std::wistringstream fields(line);
                std::wstring name, kind, text;
                fields >> name >> kind >> std::ws;
                std::getline(fields, text);
                current->properties.emplace_back(name, Value(kind, text));
            }
        }
    }

    std::map<std::wstring, Object> objects;
};

// "IIS://<this computer or localhost>/<path>", in any letter case.
Object* Find(const std::wstring& adsPath) {
    static Metabase metabase;
    constexpr std::wstring_view kScheme = L"IIS://";
    const auto path = Upper(adsPath);
    const auto slash = path.find(L'/', kScheme.size());
    if (!path.starts_with(kScheme) || slash == path.npos) return nullptr;
    const auto computer = path.substr(kScheme.size(), slash - kScheme.size());
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (computer != L"LOCALHOST" && (!::GetComputerNameW(name, &size) || computer != Upper(name)))
        return nullptr;
    const auto found = metabase.objects.find(path.substr(slash + 1));
    return found == metabase.objects.end() ? nullptr : &found->second;
}

// The class factory is the provider it makes: one object that lasts.
class Provider final : public Lasting<IADsOpenDSObject, IClassFactory> {
  public:
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IClassFactory) return Answer(static_cast<IClassFactory*>(this), true, out);
        return Answer(static_cast<IADsOpenDSObject*>(this),
                      iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IADsOpenDSObject,
                      out);
    }
    HRESULT WINAPI OpenDSObject(BSTR path, BSTR, BSTR, LONG, IDispatch** object) override {
        if (!path || !object) return E_POINTER;
        *object = nullptr;
        Object* found = Find(path);
        return found ? found->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(object))
                     : HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    }
    HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (out) *out = nullptr;
        return outer ? CLASS_E_NOAGGREGATION : QueryInterface(iid, out);
    }
    HRESULT WINAPI LockServer(BOOL) override { return S_OK; }
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    static Provider provider;
    if (clsid == kProviderClass) return provider.QueryInterface(iid, out);
    if (out) *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}
