#include <gtest/gtest.h>

#include <functional>

#include "platform/PlatformError.h"
#include "platform/win32/Owners.h"
#include "platform/win32/VariantValue.h"

namespace quimbro::win32::test {
namespace {

struct VariantCase {
    const char* label;
    std::function<void(VARIANT&)> fill;
    Value expected;
};

class VariantKinds : public testing::TestWithParam<VariantCase> {};

TEST_P(VariantKinds, BecomeTheCoresValues) {
    Variant variant;
    GetParam().fill(*variant.Receive());
    EXPECT_EQ(ValueOfVariant(variant.Get()), GetParam().expected);
}

// A one-dimensional array of texts, as BSTRs or as VARIANTs holding them; the array copies
// each text.
auto List(VARTYPE kind, LONG lowerBound, std::vector<std::wstring> texts) {
    return [=](VARIANT& v) {
        v.vt = static_cast<VARTYPE>(VT_ARRAY | kind);
        v.parray = ::SafeArrayCreateVector(kind, lowerBound, static_cast<ULONG>(texts.size()));
        LONG index = lowerBound;
        for (const auto& text : texts) {
            const Bstr copy = MakeBstr(text);
            VARIANT entry;
            ::VariantInit(&entry);
            entry.vt = VT_BSTR;
            entry.bstrVal = copy.Get();
            ::SafeArrayPutElement(v.parray, &index,
                                  kind == VT_BSTR ? static_cast<void*>(copy.Get()) : &entry);
            ++index;
        }
    };
}

// A number of the given kind, converted by OLE itself from a 64-bit one.
auto Number(VARTYPE kind, LONGLONG number) {
    return [=](VARIANT& v) {
        v.vt = VT_I8;
        v.llVal = number;
        if (FAILED(::VariantChangeType(&v, &v, 0, kind))) v.vt = VT_ERROR;
    };
}

void LargestUnsigned(VARIANT& v) {
    v.vt = VT_UI8;
    v.ullVal = 0xffffffffffffffffu;
}

void Text(VARIANT& v) {
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocString(L"Default Web Site \u00e9");
}

void NullText(VARIANT& v) {
    v.vt = VT_BSTR;
    v.bstrVal = nullptr;
}

INSTANTIATE_TEST_SUITE_P(
    Metabase, VariantKinds,
    testing::Values(VariantCase{"I2", Number(VT_I2, -2), std::int64_t{-2}},
                    VariantCase{"I4", Number(VT_I4, 513), std::int64_t{513}},
                    VariantCase{"Int", Number(VT_INT, -7), std::int64_t{-7}},
                    VariantCase{"UI1", Number(VT_UI1, 255), std::int64_t{255}},
                    VariantCase{"UI2", Number(VT_UI2, 65535), std::int64_t{65535}},
                    VariantCase{"UI4", Number(VT_UI4, 4294967295), std::int64_t{4294967295}},
                    VariantCase{"UInt", Number(VT_UINT, 516), std::int64_t{516}},
                    VariantCase{"I8", Number(VT_I8, -5000000000), std::int64_t{-5000000000}},
                    VariantCase{"UI8", LargestUnsigned, std::uint64_t{0xffffffffffffffffu}},
                    VariantCase{"True", Number(VT_BOOL, -1), true},
                    VariantCase{"False", Number(VT_BOOL, 0), false},
                    VariantCase{"Text", Text, std::string("Default Web Site \xc3\xa9")},
                    VariantCase{"NullText", NullText, std::string()},
                    VariantCase{"Bindings", List(VT_VARIANT, 0, {L":80:", L"10.0.0.1:8080:intra"}),
                                TextList{":80:", "10.0.0.1:8080:intra"}},
                    VariantCase{"TextArray", List(VT_BSTR, 1, {L"first", L"second"}),
                                TextList{"first", "second"}},
                    VariantCase{"EmptyList", List(VT_VARIANT, 0, {}), TextList{}}),
    [](const auto& info) { return std::string(info.param.label); });

class RefusedVariants : public testing::TestWithParam<std::function<void(VARIANT&)>> {};

TEST_P(RefusedVariants, FailToConvert) {
    Variant variant;
    GetParam()(*variant.Receive());
    EXPECT_THROW(ValueOfVariant(variant.Get()), PlatformError);
}

// A list whose second entry is a number, not a text.
void ListWithNumber(VARIANT& v) {
    List(VT_VARIANT, 0, {L"text", L"2"})(v);
    VARIANT number;
    ::VariantInit(&number);
    number.vt = VT_I4;
    number.lVal = 2;
    LONG index = 1;
    ::SafeArrayPutElement(v.parray, &index, &number);
}

void NullArray(VARIANT& v) {
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Metabase, RefusedVariants,
                         testing::Values(Number(VT_EMPTY, 0), Number(VT_NULL, 0), Number(VT_R8, 2),
                                         Number(VT_DATE, 2), NullArray, ListWithNumber,
                                         List(VT_I4, 0, {})));

}  // namespace
}  // namespace quimbro::win32::test
