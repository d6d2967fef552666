#include "checker/core/attribute_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(AttributeNumbers, IntegersReadAsTheCLibraryReadsThemAndSaturate) {
    struct Case {
        const wchar_t* text;
        int32_t value;
    } const cases[] = {
        {L"", 0},
        {L"3", 3},
        {L"  \t\r\n\v\f42", 42},
        {L"+7", 7},
        {L"-12", -12},
        {L"0012", 12},
        {L"4.9", 4},
        {L"10abc", 10},
        {L"abc", 0},
        {L"-", 0},
        {L"+-3", 0},
        {L"- 3", 0},
        {L"x3", 0},
        {L"\x00A0"
         L"5",
         0},             // only the C blanks are skipped
        {L"\xFF11", 0},  // a full-width digit is no digit
        {L"2147483647", kMax},
        {L"2147483648", kMax},
        {L"-2147483648", kMin},
        {L"-2147483649", kMin},
        {L"99999999999999999999999999999", kMax},
        {L"-99999999999999999999999999999", kMin},
        {L"0x10", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text #" << (&c - cases));
        EXPECT_EQ(ReadAttributeInteger(c.text), c.value);
    }
}

TEST(AttributeNumbers, RealsReadAsDecimalNumbersWithoutLocale) {
    struct Case {
        const wchar_t* text;
        double value;
    } const cases[] = {
        {L"0.25", 0.25},
        {L"  0.25", 0.25},
        {L"+0.5", 0.5},
        {L"-0.5", -0.5},
        {L"1", 1.0},
        {L".5", 0.5},
        {L"5.", 5.0},
        {L"0.25abc", 0.25},
        {L"2.5e-1", 0.25},
        {L"25E-2", 0.25},
        {L"1e+2", 100.0},
        {L"1e", 1.0},  // an exponent letter without digits ends the number
        {L"1e+", 1.0},
        {L"0.000123", 0.000123},
        {L"000000000000000000000000000000000.75", 0.75},
        {L"0,5", 0.0},  // the decimal point is "." whatever the locale
        {L"", 0.0},
        {L"abc", 0.0},
        {L".", 0.0},
        {L"-.e3", 0.0},
        {L"0x1p-2", 0.0},  // no hexadecimal forms
        {L"nan", 0.0},
        {L"-NaN(1)", 0.0},
        {L"inf", kInf},
        {L"INFINITY", kInf},
        {L"-Inf", -kInf},
        {L"1e999", kInf},
        {L"-1e999", -kInf},
        {L"1e-999", 0.0},
        {L"0.0000000000000000000000000000001e-400", 0.0},
        {L"1e99999999999999999999", kInf},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text #" << (&c - cases));
        EXPECT_DOUBLE_EQ(ReadAttributeReal(c.text), c.value);
    }
}

TEST(AttributeNumbers, ALongRunOfDigitsIsReadCorrectlyRounded) {
    // 0.1 written with a thousand digits of padding either side must still be exactly 0.1.
    const std::wstring padded = L"0" + std::wstring(1000, L'0') + L".1" + std::wstring(1000, L'0');
    EXPECT_EQ(ReadAttributeReal(padded), 0.1);
    EXPECT_EQ(ReadAttributeReal(L"0.3333333333333333333333333333"), 1.0 / 3.0);
}

}  // namespace
