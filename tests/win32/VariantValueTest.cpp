#include <gtest/gtest.h>

#include <stdexcept>

#include "TestSupport.h"
#include "platform/PlatformError.h"
#include "platform/win32/VariantValue.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32::test {
namespace {

VARTYPE KindNamed(const std::string& name) {
    const std::pair<const char*, VARTYPE> kinds[] = {
        {"EMPTY", VT_EMPTY}, {"NULL", VT_NULL}, {"I2", VT_I2},     {"I4", VT_I4},
        {"INT", VT_INT},     {"UI1", VT_UI1},   {"UI2", VT_UI2},   {"UI4", VT_UI4},
        {"UINT", VT_UINT},   {"I8", VT_I8},     {"UI8", VT_UI8},   {"BOOL", VT_BOOL},
        {"R8", VT_R8},       {"DATE", VT_DATE}, {"BSTR", VT_BSTR}, {"VARIANT", VT_VARIANT}};
    for (const auto& [kindName, kind] : kinds)
        if (name == kindName) return kind;
    throw std::invalid_argument(name);
}

// A VARIANT as a line of the case table describes it.
void Fill(VARIANT& v, const std::string& kind, const std::string& text) {
    const auto bracket = kind.find('[');
    if (bracket == std::string::npos) {
        v.vt = text.empty() ? KindNamed(kind) : VARTYPE{VT_BSTR};
        v.llVal = 0;
        if (text.empty()) return;
        v.bstrVal = MakeBstr(Wide(text)).Detach();
        if (FAILED(::VariantChangeType(&v, &v, 0, KindNamed(kind))))
            throw std::invalid_argument(kind + " " + text);
        return;
    }
    const VARTYPE element = KindNamed(kind.substr(0, bracket));
    v.vt = static_cast<VARTYPE>(VT_ARRAY | element);
    v.parray = nullptr;
    if (kind.ends_with("[]")) return;
    const LONG lower = std::stol(kind.substr(bracket + 1));
    const auto entries = text.empty() ? std::vector<std::string>{} : Split(text, '|');
    v.parray = ::SafeArrayCreateVector(element, lower, static_cast<ULONG>(entries.size()));
    for (LONG i = 0; i < static_cast<LONG>(entries.size()); ++i) {
        Variant owner;
        VARIANT* entry = owner.Receive();
        const auto blank = entries[i].find(' ');
        if (element == VT_VARIANT)
            Fill(*entry, entries[i].substr(0, blank), entries[i].substr(blank + 1));
        else
            Fill(*entry, "BSTR", entries[i]);
        LONG index = lower + i;
        ::SafeArrayPutElement(v.parray, &index,
                              element == VT_VARIANT ? static_cast<void*>(entry) : entry->bstrVal);
    }
}

TEST(VariantValue, EachKindTheMetabaseGivesBecomesTheCoresValueOrFails) {
    for (const auto& c : CaseTable("win32/variants.tsv")) {
        Variant variant;
        Fill(*variant.Receive(), c[0], c[1]);
        if (c[2] == "fails")
            EXPECT_THROW(ValueOfVariant(variant.Get()), PlatformError) << c[0] << " " << c[1];
        else
            EXPECT_EQ(ValueOfVariant(variant.Get()), ValueFrom(c[2])) << c[0] << " " << c[1];
    }
}

}  // namespace
}  // namespace quimbro::win32::test
