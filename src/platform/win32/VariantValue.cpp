#include "platform/win32/VariantValue.h"

#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

std::string TextOf(BSTR text) {
    return text ? Utf8(std::wstring_view(text, ::SysStringLen(text))) : std::string();
}

// The array's elements, locked while they are read.
class ArrayAccess {
  public:
    explicit ArrayAccess(SAFEARRAY* array) : array_(array) {
        if (!array_ || ::SafeArrayGetDim(array_) != 1) throw PlatformError("not a list");
        if (FAILED(::SafeArrayAccessData(array_, &data_)) || !data_)
            throw PlatformError("the list cannot be read");
    }
    ~ArrayAccess() { ::SafeArrayUnaccessData(array_); }
    ArrayAccess(const ArrayAccess&) = delete;
    ArrayAccess& operator=(const ArrayAccess&) = delete;

    template <class Element>
    const Element* Elements() const {
        return static_cast<const Element*>(data_);
    }
    long Count() const {
        LONG lower = 0;
        LONG upper = -1;
        if (FAILED(::SafeArrayGetLBound(array_, 1, &lower)) ||
            FAILED(::SafeArrayGetUBound(array_, 1, &upper)))
            throw PlatformError("the list has no bounds");
        return upper >= lower ? upper - lower + 1 : 0;
    }

  private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
};

TextList ListOf(const VARIANT& variant) {
    const VARTYPE element = static_cast<VARTYPE>(variant.vt & VT_TYPEMASK);
    if (element != VT_BSTR && element != VT_VARIANT) throw PlatformError("not a list of text");
    const ArrayAccess access(variant.parray);
    const long count = access.Count();
    TextList list;
    for (long i = 0; i < count; ++i) {
        if (element == VT_BSTR) {
            list.push_back(TextOf(access.Elements<BSTR>()[i]));
            continue;
        }
        const VARIANT& entry = access.Elements<VARIANT>()[i];
        if (entry.vt != VT_BSTR) throw PlatformError("a list entry is not text");
        list.push_back(TextOf(entry.bstrVal));
    }
    return list;
}

}  // namespace

Value ValueOfVariant(const VARIANT& variant) {
    if ((variant.vt & VT_ARRAY) && !(variant.vt & VT_BYREF)) return ListOf(variant);
    switch (variant.vt) {
        case VT_BSTR:
            return TextOf(variant.bstrVal);
        case VT_I2:
            return std::int64_t{variant.iVal};
        case VT_I4:
            return std::int64_t{variant.lVal};
        case VT_INT:
            return std::int64_t{variant.intVal};
        case VT_UI1:
            return std::int64_t{variant.bVal};
        case VT_UI2:
            return std::int64_t{variant.uiVal};
        case VT_UI4:
            return std::int64_t{variant.ulVal};
        case VT_UINT:
            return std::int64_t{variant.uintVal};
        case VT_I8:
            return std::int64_t{variant.llVal};
        case VT_UI8:
            return std::uint64_t{variant.ullVal};
        case VT_BOOL:
            return variant.boolVal != VARIANT_FALSE;
        default:
            throw PlatformError("a value of an unknown kind");
    }
}

}  // namespace quimbro::win32
