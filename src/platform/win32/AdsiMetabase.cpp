#include "platform/win32/AdsiMetabase.h"

// The Windows headers first, then what builds on them.
#include "platform/win32/Owners.h"

#include <iads.h>

// ADSI's helpers are declared in terms of its interfaces.
#include <adshlp.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/win32/Registry.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/VariantValue.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

// Where ADSI looks up the provider of a path's scheme ("IIS" for "IIS://...").
constexpr wchar_t kProviders[] = L"SOFTWARE\\Microsoft\\ADs\\Providers\\";

// Without IIS its provider is not registered and no path can be bound: the run then spends
// nothing on COM and ADSI, which take tens of milliseconds to start.
bool ProviderRegistered(const std::wstring& path) {
    const auto scheme = path.find(L':');
    return scheme != std::wstring::npos && scheme > 0 &&
           MachineKeyExists(kProviders + path.substr(0, scheme));
}

// An object of the metabase. It keeps COM alive on its thread for as long as it exists.
class AdsiObject final : public MetabaseObject {
  public:
    AdsiObject(std::shared_ptr<ComApartment> com, ComPtr<IADs> object)
        : com_(std::move(com)), object_(std::move(object)) {}

    std::vector<std::unique_ptr<MetabaseObject>> Children() override {
        // 1. The object as a container.
        ComPtr<IADsContainer> container;
        if (FAILED(object_->QueryInterface(IID_IADsContainer, container.ReceiveVoid())) ||
            !container)
            throw PlatformError("not a container");
        // 2. Its enumerator.
        ComPtr<IUnknown> unknown;
        if (FAILED(container->get__NewEnum(unknown.Receive())) || !unknown)
            throw PlatformError("no enumerator");
        ComPtr<IEnumVARIANT> children;
        if (FAILED(unknown->QueryInterface(IID_IEnumVARIANT, children.ReceiveVoid())) || !children)
            throw PlatformError("no enumerator");
        // 3. The children, in the provider's order. Names are unique in a container: the same
        //    name twice in a row is an enumeration that does not move on.
        std::vector<std::unique_ptr<MetabaseObject>> found;
        std::optional<std::string> last;
        for (;;) {
            Variant child;
            ULONG fetched = 0;
            if (children->Next(1, child.Receive(), &fetched) != S_OK || fetched != 1) break;
            if (child.Get().vt != VT_DISPATCH || !child.Get().pdispVal) continue;
            ComPtr<IADs> object;
            if (FAILED(child.Get().pdispVal->QueryInterface(IID_IADs, object.ReceiveVoid())) ||
                !object)
                continue;
            auto adsi = std::make_unique<AdsiObject>(com_, std::move(object));
            std::optional<std::string> name;
            try {
                name = adsi->OwnName();
            } catch (const PlatformError&) {
            }
            if (name && name == last) throw PlatformError("the provider repeats its children");
            last = std::move(name);
            found.push_back(std::move(adsi));
        }
        return found;
    }

    Value Get(const std::string& property) override {
        // The provider keeps an object's name apart from its properties: Get("Name") fails.
        if (property == kName) return OwnName();
        const Bstr name = MakeBstr(Wide(property));
        Variant value;
        if (FAILED(object_->Get(name.Get(), value.Receive())))
            throw PlatformError("property cannot be read");
        return ValueOfVariant(value.Get());
    }

  private:
    static constexpr char kName[] = "Name";

    std::string OwnName() const {
        Bstr name;
        if (FAILED(object_->get_Name(name.Receive())) || !name)
            throw PlatformError("the object has no name");
        return Utf8(std::wstring_view(name.Get(), ::SysStringLen(name.Get())));
    }

    std::shared_ptr<ComApartment> com_;
    ComPtr<IADs> object_;
};

}  // namespace

std::unique_ptr<MetabaseObject> AdsiMetabase::Bind(const std::string& path) {
    const std::wstring widePath = Wide(path);
    if (!ProviderRegistered(widePath)) throw PlatformError("no provider for the metabase path");
    // ADSI's router is not a KnownDLL. Loaded once, it stays for the objects it hands out.
    static const SystemLibrary activeds(L"activeds.dll");
    const auto getObject = activeds.Procedure<decltype(::ADsGetObject)>("ADsGetObject");
    auto com = std::make_shared<ComApartment>();
    ComPtr<IADs> object;
    if (FAILED(getObject(widePath.c_str(), IID_IADs, object.ReceiveVoid())) || !object)
        throw PlatformError("metabase path cannot be bound");
    return std::make_unique<AdsiObject>(std::move(com), std::move(object));
}

}  // namespace quimbro::win32
