// An "IIS:" ADSI provider for the end-to-end tests. It serves the metabase written in the file
// iis6.metabase beside the DLL as IIS 6's provider does: an object's name through get_Name
// only, its properties through Get in IIS 6's VARIANT kinds, its children through
// get__NewEnum. What Quimbro never calls answers E_NOTIMPL.
#include <windows.h>

#include <adserr.h>
#include <iads.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

// {59DAFE3F-631C-4F1F-9F37-135C9927DCB2}, registered by the test under its ProgID.
constexpr CLSID kProviderClass = {
    0x59dafe3f, 0x631c, 0x4f1f, {0x9f, 0x37, 0x13, 0x5c, 0x99, 0x27, 0xdc, 0xb2}};
constexpr wchar_t kDataFile[] = L"iis6.metabase";

HMODULE thisModule = nullptr;

std::wstring Upper(std::wstring text) {
    ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

HRESULT NewText(std::wstring_view text, BSTR* out) {
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Every object lives as long as the DLL, so none counts its references.
template <class... Interfaces>
class Static : public Interfaces... {
  public:
    ULONG WINAPI AddRef() override { return 1; }
    ULONG WINAPI Release() override { return 1; }
};

template <class... Interfaces>
class Dispatch : public Static<Interfaces...> {
  public:
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

// Answers `iid` with `self` when it is one of `iids`.
HRESULT Answer(REFIID iid, void** out, void* self, std::initializer_list<IID> iids) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const auto& known : iids)
        if (iid == known) *out = self;
    return *out ? S_OK : E_NOINTERFACE;
}

struct Property {
    std::wstring name, kind, value;
};

// The property as a VARIANT of the kind IIS 6 gives it.
HRESULT Fill(const Property& property, VARIANT* value) {
    const auto& text = property.value;
    if (property.kind == L"I4") {
        value->lVal = std::stol(text);
        value->vt = VT_I4;
    } else if (property.kind == L"BOOL") {
        value->boolVal = text == L"true" ? VARIANT_TRUE : VARIANT_FALSE;
        value->vt = VT_BOOL;
    } else if (property.kind == L"BSTR") {
        if (FAILED(NewText(text, &value->bstrVal))) return E_OUTOFMEMORY;
        value->vt = VT_BSTR;
    } else if (property.kind == L"LIST") {
        std::vector<std::wstring_view> entries;
        for (std::wstring_view rest = text; !rest.empty();) {
            const auto bar = rest.find(L'|');
            entries.push_back(rest.substr(0, bar));
            rest = bar == rest.npos ? std::wstring_view() : rest.substr(bar + 1);
        }
        SAFEARRAY* list = ::SafeArrayCreateVector(VT_VARIANT, 0, entries.size());
        if (!list) return E_OUTOFMEMORY;
        for (LONG i = 0; i < static_cast<LONG>(entries.size()); ++i) {
            VARIANT entry;
            entry.vt = VT_BSTR;
            NewText(entries[i], &entry.bstrVal);
            ::SafeArrayPutElement(list, &i, &entry);
            ::VariantClear(&entry);
        }
        value->parray = list;
        value->vt = VT_ARRAY | VT_VARIANT;
    } else {
        return E_FAIL;
    }
    return S_OK;
}

class Enumerator final : public Static<IEnumVARIANT> {
  public:
    explicit Enumerator(const std::vector<IDispatch*>& items) : items_(items) {}

    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        return Answer(iid, out, this, {IID_IUnknown, IID_IEnumVARIANT});
    }
    HRESULT WINAPI Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (!out) return E_POINTER;
        ULONG given = 0;
        for (; given < count && next_ < items_.size(); ++given, ++next_) {
            ::VariantInit(&out[given]);
            out[given].pdispVal = items_[next_];
            out[given].vt = VT_DISPATCH;
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
};

class Object final : public Dispatch<IADs, IADsContainer> {
  public:
    explicit Object(std::wstring name) : name_(std::move(name)) {}

    std::vector<Property> properties;
    std::vector<IDispatch*> children;

    IDispatch* AsDispatch() { return static_cast<IADs*>(this); }

    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IADsContainer)
            return Answer(iid, out, static_cast<IADsContainer*>(this), {iid});
        return Answer(iid, out, AsDispatch(), {IID_IUnknown, IID_IDispatch, IID_IADs});
    }

    HRESULT WINAPI get_Name(BSTR* name) override { return name ? NewText(name_, name) : E_POINTER; }

    // The name is not among the properties: Get("Name") fails as on IIS 6.
    HRESULT WINAPI Get(BSTR name, VARIANT* value) override {
        if (!name || !value) return E_POINTER;
        ::VariantInit(value);
        for (const auto& property : properties)
            if (::_wcsicmp(property.name.c_str(), name) == 0) return Fill(property, value);
        return E_ADS_PROPERTY_NOT_FOUND;
    }

    HRESULT WINAPI get__NewEnum(IUnknown** out) override;

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

// The objects of the data file, by upper-case path below "IIS://computer/".
struct Metabase {
    Metabase() {
        std::wstring file(MAX_PATH, L'\0');
        file.resize(::GetModuleFileNameW(thisModule, file.data(), MAX_PATH));
        std::ifstream in(std::filesystem::path(file).replace_filename(kDataFile));
        Object* current = nullptr;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const std::wstring text(line.begin(), line.end());  // the file is ASCII
            if (text.empty() || text[0] == L'#' || (text[0] != L'[' && !current)) continue;
            if (text[0] == L'[') {
                const auto path = text.substr(1, text.find(L']') - 1);
                const auto slash = path.rfind(L'/');
                current = &objects.emplace_back(path.substr(slash + 1));
                byPath[Upper(path)] = current;
                if (slash != path.npos)
                    byPath.at(Upper(path.substr(0, slash)))
                        ->children.push_back(current->AsDispatch());
                continue;
            }
            const auto first = text.find(L' ');
            const auto second = text.find(L' ', first + 1);
            current->properties.push_back(
                {text.substr(0, first), text.substr(first + 1, second - first - 1),
                 second == text.npos ? std::wstring() : text.substr(second + 1)});
        }
    }

    std::deque<Object> objects;
    std::map<std::wstring, Object*> byPath;
    std::deque<Enumerator> enumerators;
};

Metabase& Loaded() {
    static Metabase metabase;
    return metabase;
}

HRESULT WINAPI Object::get__NewEnum(IUnknown** out) {
    if (!out) return E_POINTER;
    *out = &Loaded().enumerators.emplace_back(children);
    return S_OK;
}

// "IIS://<this computer or localhost>/<path>", in any letter case.
Object* Find(const std::wstring& adsPath) {
    constexpr std::wstring_view kScheme = L"IIS://";
    const auto path = Upper(adsPath);
    const auto slash = path.find(L'/', kScheme.size());
    if (!path.starts_with(kScheme) || slash == path.npos) return nullptr;
    const auto computer = path.substr(kScheme.size(), slash - kScheme.size());
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (computer != L"LOCALHOST" && (!::GetComputerNameW(name, &size) || computer != Upper(name)))
        return nullptr;
    const auto& byPath = Loaded().byPath;
    const auto found = byPath.find(path.substr(slash + 1));
    return found == byPath.end() ? nullptr : found->second;
}

class Namespace final : public Dispatch<IADsOpenDSObject> {
  public:
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        return Answer(iid, out, this, {IID_IUnknown, IID_IDispatch, IID_IADsOpenDSObject});
    }
    HRESULT WINAPI OpenDSObject(BSTR path, BSTR, BSTR, LONG, IDispatch** object) override {
        if (!path || !object) return E_POINTER;
        Object* found = Find(path);
        *object = found ? found->AsDispatch() : nullptr;
        return found ? S_OK : HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    }
};

class Factory final : public Static<IClassFactory> {
  public:
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        return Answer(iid, out, this, {IID_IUnknown, IID_IClassFactory});
    }
    HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        static Namespace provider;
        return provider.QueryInterface(iid, out);
    }
    HRESULT WINAPI LockServer(BOOL) override { return S_OK; }
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) thisModule = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI
    DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    static Factory factory;
    if (!out) return E_POINTER;
    *out = nullptr;
    return clsid == kProviderClass ? factory.QueryInterface(iid, out) : CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() {
    return S_FALSE;
}
