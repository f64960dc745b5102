#include <gtest/gtest.h>

#include <stdexcept>

#include "TestSupport.h"
#include "platform/PlatformError.h"
#include "platform/win32/VariantValue.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32::test {
namespace {

// A VARIANT as a line of the case table describes it.
void Fill(VARIANT& v, const std::string& kind, const std::string& text) {
    const auto type = static_cast<VARTYPE>(std::stoul(kind));
    const auto bracket = kind.find('[');
    if (bracket == std::string::npos) {
        v.vt = text.empty() ? type : VARTYPE{VT_BSTR};
        v.llVal = 0;
        if (text.empty()) return;
        v.bstrVal = MakeBstr(Wide(text)).Detach();
        if (FAILED(::VariantChangeType(&v, &v, 0, type))) throw std::invalid_argument(kind + text);
        return;
    }
    v.vt = static_cast<VARTYPE>(VT_ARRAY | type);
    v.parray = nullptr;
    if (kind.ends_with("[]")) return;
    const LONG lower = std::stol(kind.substr(bracket + 1));
    const auto entries = text.empty() ? std::vector<std::string>{} : Split(text, "|");
    v.parray = ::SafeArrayCreateVector(type, lower, static_cast<ULONG>(entries.size()));
    for (LONG i = 0; i < static_cast<LONG>(entries.size()); ++i) {
        Variant owner;
        VARIANT* entry = owner.Receive();
        const auto blank = entries[i].find(' ', entries[i].find(' ') + 1);
        Fill(*entry, entries[i].substr(0, blank), entries[i].substr(blank + 1));
        LONG index = lower + i;
        ::SafeArrayPutElement(v.parray, &index,
                              type == VT_VARIANT ? static_cast<void*>(entry) : entry->bstrVal);
    }
}

TEST(VariantValue, EachKindTheMetabaseGivesBecomesTheCoresValueOrFails) {
    for (const auto& c : CaseTable("win32/variants.tsv")) {
        Variant variant;
        Fill(*variant.Receive(), c[0], c[1]);
        if (c[2] == "fails")
            EXPECT_THROW(ValueOfVariant(variant.Get()), PlatformError) << c[0] << " " << c[1];
        else
            EXPECT_EQ(ValueOfVariant(variant.Get()), ValueOf(c[2])) << c[0] << " " << c[1];
    }
}

}  // namespace
}  // namespace quimbro::win32::test
