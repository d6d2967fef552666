#include <gtest/gtest.h>

#include <string>

#include "scheduler/core/update_version_compare.h"

namespace {

struct VersionCase {
    const wchar_t* a;
    const wchar_t* b;
    int expected;
};

TEST(CompareVersionsTest, OrdersDottedVersionsPieceByPiece) {
    const VersionCase cases[] = {
        {L"1.2", L"1.2.0", -1},  // running out of pieces first is older, even against a zero
        {L"1,10", L"1.9", 1},    // commas separate like dots; 10 is more than 9, not "1" < "9"
        {L"", L"", 0},           {L"1.0", L"", 1},        {L"", L"0", -1},
        {L"2.0", L"10.0", -1},   {L"1.2.3", L"1.2.3", 0}, {L"1..2", L"1.2", 0},  // a run of separators is one
        {L" 1 . 2 ", L"1.2", 0},                                                 // spaces separate too
        {L"1.02", L"1.2", 0},                                                    // leading zeros do not count
        {L"1.2b", L"1.2", 0},    // only the leading digits count
        {L"1.beta", L"1.0", 0},  // no digits reads as 0
        {L"1.beta", L"1.1", -1}, {L"3", L"2.9.9", 1},     {L"0.0.0.1", L"0.0.0.0", 1},
    };
    for (const VersionCase& c : cases) {
        EXPECT_EQ(CompareVersions(c.a, c.b), c.expected)
            << "\"" << testing::PrintToString(std::wstring(c.a)) << "\" against "
            << testing::PrintToString(std::wstring(c.b));
        // The order is the same read from the other side.
        EXPECT_EQ(CompareVersions(c.b, c.a), -c.expected) << testing::PrintToString(std::wstring(c.b));
    }
}

TEST(CompareVersionsTest, PiecesLongerThanAnyIntegerCompareByValue) {
    const std::wstring thirty(30, L'9');
    const std::wstring thirtyOne = L"1" + std::wstring(30, L'0');
    const std::wstring dottedThirty = L"1." + thirty;
    const std::wstring zeroPadded = std::wstring(30, L'0') + L"5";
    const VersionCase cases[] = {
        {thirty.c_str(), L"1", 1},
        {thirtyOne.c_str(), thirty.c_str(), 1},  // a 31-digit piece beats any 30-digit one
        {dottedThirty.c_str(), L"1.2", 1},
        {zeroPadded.c_str(), L"5", 0},
        {L"18446744073709551616", L"18446744073709551615", 1},  // just past 64 bits: no wrap to 0
        {L"4294967296.0", L"4294967295.9", 1},                  // just past 32 bits
    };
    for (const VersionCase& c : cases) {
        EXPECT_EQ(CompareVersions(c.a, c.b), c.expected) << testing::PrintToString(std::wstring(c.a));
        EXPECT_EQ(CompareVersions(c.b, c.a), -c.expected) << testing::PrintToString(std::wstring(c.a));
    }
}

}  // namespace
