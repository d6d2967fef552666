#include "tests/e2e/driver_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(DriverCodec, ReadsHandlesAndNumbers) {
    struct HandleCase {
        const wchar_t* text;
        std::optional<std::uint64_t> expected;
    };
    const HandleCase handles[] = {
        {L"0x100aa", 0x100aa},
        {L"0X1F", 0x1f},
        {L"30084", 0x30084},
        {L"ffffffffffffffff", std::numeric_limits<std::uint64_t>::max()},
        {L"10000000000000000", std::nullopt},  // 65 bits
        {L"0x", std::nullopt},
        {L"", std::nullopt},
        {L"0x12g", std::nullopt},
        {L"-1", std::nullopt},
        {L"12 ", std::nullopt},
    };
    for (const HandleCase& c : handles)
        EXPECT_EQ(e2e::ParseHandle(c.text), c.expected) << "handle " << testing::PrintToString(c.text);

    struct NumberCase {
        const wchar_t* text;
        std::optional<std::int64_t> expected;
    };
    const NumberCase numbers[] = {
        {L"532", 532},
        {L"-1", -1},
        {L"+7", 7},
        {L"0x211", 0x211},
        {L"-0x10", -16},
        {L"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
        {L"9223372036854775808", std::nullopt},
        {L"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
        {L"-9223372036854775809", std::nullopt},
        {L"99999999999999999999999", std::nullopt},
        {L"12a", std::nullopt},
        {L"ff", std::nullopt},  // hex only with its prefix
        {L"-", std::nullopt},
        {L"", std::nullopt},
    };
    for (const NumberCase& c : numbers)
        EXPECT_EQ(e2e::ParseNumber(c.text), c.expected) << "number " << testing::PrintToString(c.text);
}

TEST(DriverCodec, HexRoundTripsAndRejectsBrokenInput) {
    const Bytes all = [] {
        Bytes b;
        for (int i = 0; i < 256; ++i)
            b.push_back(static_cast<std::uint8_t>(i));
        return b;
    }();
    const std::string hex = e2e::EncodeHex(all.data(), all.size());
    ASSERT_EQ(hex.size(), 512u);
    EXPECT_EQ(hex.substr(0, 8), "00010203");
    EXPECT_EQ(hex.substr(504), "fcfdfeff");
    EXPECT_EQ(e2e::DecodeHex(std::wstring(hex.begin(), hex.end())), all);
    EXPECT_EQ(e2e::DecodeHex(L"ABcd0F"), (Bytes{0xab, 0xcd, 0x0f}));
    EXPECT_EQ(e2e::DecodeHex(L""), Bytes{});
    for (const wchar_t* bad : {L"abc", L"0g", L"00 11", L"0x00"})
        EXPECT_FALSE(e2e::DecodeHex(bad)) << testing::PrintToString(bad);
}

TEST(DriverCodec, TextBecomesLittleEndianUtf16AndFitsThePayload) {
    EXPECT_EQ(e2e::Utf16Bytes(L"Tea"), (Bytes{'T', 0, 'e', 0, 'a', 0}));
    EXPECT_EQ(e2e::Utf16Bytes(L"\u03A3\uD55C"), (Bytes{0xA3, 0x03, 0x5C, 0xD5}));
    // U+1F375 as a surrogate pair, whatever the width of wchar_t.
    const std::wstring teacup =
        sizeof(wchar_t) == 2 ? std::wstring(L"\xD83C\xDF75") : std::wstring(1, wchar_t(0x1F375));
    EXPECT_EQ(e2e::Utf16Bytes(teacup), (Bytes{0x3C, 0xD8, 0x75, 0xDF}));

    EXPECT_EQ(e2e::FitPayload({1, 2, 3}, 5), (Bytes{1, 2, 3, 0, 0}));
    EXPECT_EQ(e2e::FitPayload({1, 2, 3}, 2), (Bytes{1, 2}));
    EXPECT_EQ(e2e::FitPayload({}, 0), Bytes{});
    EXPECT_EQ(e2e::FitPayload(e2e::Utf16Bytes(L"Tea"), 532).size(), 532u);
}

TEST(DriverCodec, Utf8OfEveryPlaneAndOfBrokenText) {
    EXPECT_EQ(e2e::ToUtf8(L"Tivolan"), "Tivolan");
    EXPECT_EQ(e2e::ToUtf8(L"\u00E9\u03A3\uD55C"), "\xC3\xA9\xCE\xA3\xED\x95\x9C");
    const std::wstring teacup =
        sizeof(wchar_t) == 2 ? std::wstring(L"\xD83C\xDF75") : std::wstring(1, wchar_t(0x1F375));
    EXPECT_EQ(e2e::ToUtf8(teacup), "\xF0\x9F\x8D\xB5");
    // A lone surrogate (high at the end, or low alone) is replaced, never written as CESU bytes.
    EXPECT_EQ(e2e::ToUtf8(std::wstring(1, wchar_t(0xD83C))), "\xEF\xBF\xBD");
    EXPECT_EQ(e2e::ToUtf8(std::wstring{wchar_t(0xDF75), L'a'}),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(e2e::ToUtf8(std::wstring{wchar_t(0xD83C), L'a'}),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(e2e::ToUtf8(std::wstring(1, wchar_t(0))), std::string(1, '\0'));
}

std::uint32_t ReadLe(const Bytes& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | b[at + i];
    return v;
}

TEST(DriverCodec, BmpRowsAreBottomUpPaddedAndBgr) {
    // 3 x 2 pixels, top row first: pixel (x, y) has blue = 10 * y + x, green = 100 + x, red = 200 + y.
    Bytes bgrx;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            bgrx.insert(bgrx.end(),
                        {std::uint8_t(10 * y + x), std::uint8_t(100 + x), std::uint8_t(200 + y), 0xEE});
    const Bytes bmp = e2e::EncodeBmp24(3, 2, bgrx);
    const std::size_t stride = 12;  // 9 bytes of pixels padded to 4
    ASSERT_EQ(bmp.size(), 54 + stride * 2);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(ReadLe(bmp, 2, 4), bmp.size());
    EXPECT_EQ(ReadLe(bmp, 10, 4), 54u);
    EXPECT_EQ(ReadLe(bmp, 18, 4), 3u);
    EXPECT_EQ(ReadLe(bmp, 22, 4), 2u);
    EXPECT_EQ(ReadLe(bmp, 28, 2), 24u);
    EXPECT_EQ(ReadLe(bmp, 34, 4), stride * 2);
    for (int fileRow = 0; fileRow < 2; ++fileRow) {
        const int y = 1 - fileRow;
        for (int x = 0; x < 3; ++x) {
            const std::size_t at = 54 + fileRow * stride + x * 3;
            EXPECT_EQ(bmp[at], 10 * y + x) << x << "," << y;
            EXPECT_EQ(bmp[at + 1], 100 + x) << x << "," << y;
            EXPECT_EQ(bmp[at + 2], 200 + y) << x << "," << y;
        }
        for (std::size_t pad = 9; pad < stride; ++pad)
            EXPECT_EQ(bmp[54 + fileRow * stride + pad], 0) << "padding of row " << fileRow;
    }
}

TEST(DriverCodec, BmpRefusesImpossibleSizes) {
    const Bytes four(4 * 4, 0);
    EXPECT_TRUE(e2e::EncodeBmp24(0, 1, four).empty());
    EXPECT_TRUE(e2e::EncodeBmp24(1, -1, four).empty());
    EXPECT_TRUE(e2e::EncodeBmp24(3, 2, four).empty());  // needs 6 pixels, has 4
    EXPECT_EQ(e2e::EncodeBmp24(2, 2, four).size(), 54u + 8 * 2);
    EXPECT_TRUE(e2e::EncodeBmp24(1 << 20, 1 << 20, four).empty());
}

TEST(DriverCodec, KeyChordsPressInOrderAndReleaseInReverse) {
    using e2e::KeyEvent;
    struct Case {
        const wchar_t* text;
        std::vector<KeyEvent> expected;
    };
    const Case cases[] = {
        {L"ctrl+tab", {{0x11, false}, {0x09, false}, {0x09, true}, {0x11, true}}},
        {L"Ctrl+Shift+TAB",
         {{0x11, false}, {0x10, false}, {0x09, false}, {0x09, true}, {0x10, true}, {0x11, true}}},
        {L"alt+s", {{0x12, false}, {'S', false}, {'S', true}, {0x12, true}}},
        {L"esc", {{0x1B, false}, {0x1B, true}}},
        {L"7", {{'7', false}, {'7', true}}},
        {L"shift+down", {{0x10, false}, {0x28, false}, {0x28, true}, {0x10, true}}},
    };
    for (const Case& c : cases) {
        const auto events = e2e::ParseKeyChord(c.text);
        ASSERT_TRUE(events.has_value()) << e2e::ToUtf8(c.text);
        EXPECT_EQ(*events, c.expected) << e2e::ToUtf8(c.text);
    }
}

TEST(DriverCodec, KeyChordsRefuseWhatNoKeyboardCanPress) {
    for (const wchar_t* text : {L"", L"ctrl", L"ctrl+shift", L"tab+ctrl", L"ctrl++tab", L"ctrl+tab+",
                                L"ctrl+ctrl+tab", L"ctrl+tab+esc", L"hyper+tab", L"ctrl+ab", L"ctrl+\u00e9"})
        EXPECT_FALSE(e2e::ParseKeyChord(text).has_value()) << e2e::ToUtf8(text);
}

}  // namespace
