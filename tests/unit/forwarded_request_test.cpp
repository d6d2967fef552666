#include "scheduler/core/forwarded_request.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "tests/unit/awkward_texts.h"

namespace {

using Bytes = std::array<uint8_t, ForwardedRequest::kBytes>;

uint16_t UnitAt(const Bytes& bytes, size_t index) {
    return static_cast<uint16_t>(bytes[12 + 2 * index] | (bytes[13 + 2 * index] << 8));
}

void PutUnit(Bytes& bytes, size_t index, uint16_t unit) {
    bytes[12 + 2 * index] = static_cast<uint8_t>(unit);
    bytes[13 + 2 * index] = static_cast<uint8_t>(unit >> 8);
}

std::optional<ForwardedRequest> Decode(const Bytes& bytes) {
    return ForwardedRequest::Decode(0, bytes.data(), bytes.size());
}

const std::wstring kEmoji = L"\U0001F600";  // two UTF-16 units in either build

TEST(ForwardedRequest, LaysOutTheFieldsLittleEndian) {
    const ForwardedRequest request{1, 84600, -2, L"A\u00E9\uC2DC" + kEmoji};
    const Bytes bytes = request.Encode();
    const uint8_t head[] = {1, 0, 0, 0, 0x78, 0x4A, 0x01, 0x00, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::memcmp(bytes.data(), head, sizeof head), 0);
    const std::vector<uint16_t> units = {0x41, 0xE9, 0xC2DC, 0xD83D, 0xDE00, 0};
    for (size_t i = 0; i < units.size(); ++i)
        EXPECT_EQ(UnitAt(bytes, i), units[i]) << i;
    for (size_t i = units.size(); i < ForwardedRequest::kTextUnits; ++i)
        ASSERT_EQ(UnitAt(bytes, i), 0) << i;
}

TEST(ForwardedRequest, RoundTrips) {
    std::vector<ForwardedRequest> requests = {
        {0, 0, 0, L""},
        {1, 84600, 1, L"C:\\Tools\\x.exe"},
        {INT32_MIN, INT32_MAX, -1, std::wstring(259, L'x')},
        {0, 60, 7, std::wstring(257, L'y') + kEmoji},  // exactly 259 units
    };
    for (const std::wstring& text : AwkwardTexts())
        requests.push_back({1, 3600, 7, text});
    for (const ForwardedRequest& request : requests) {
        const std::optional<ForwardedRequest> back = Decode(request.Encode());
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, request) << testing::PrintToString(request.text);
    }
}

TEST(ForwardedRequest, LongTextsArriveCutTo259Units) {
    struct Case {
        std::wstring text;
        std::wstring arrives;
    };
    const std::wstring a258(258, L'a');
    const Case cases[] = {
        {std::wstring(300, L'z'), std::wstring(259, L'z')},
        {std::wstring(260, L'z'), std::wstring(259, L'z')},
        // A pair that would straddle the cut is left out whole, never half of it.
        {a258 + kEmoji, a258},
        {a258 + L"b" + kEmoji, a258 + L"b"},
        {std::wstring(257, L'a') + kEmoji + L"c", std::wstring(257, L'a') + kEmoji},
        // A NUL ends the text as it would for the receiver.
        {std::wstring(L"ab\0cd", 5), L"ab"},
    };
    for (const Case& c : cases) {
        const ForwardedRequest request{0, 0, 7, c.text};
        const Bytes bytes = request.Encode();
        EXPECT_EQ(UnitAt(bytes, 259), 0);
        const std::optional<ForwardedRequest> back = Decode(bytes);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->text, c.arrives) << c.text.size();
    }
    EXPECT_EQ(ForwardedRequest::From({.kind = 1, .seconds = 5, .action = 8, .text = std::wstring(300, L'p')})
                  .Encode(),
              (ForwardedRequest{1, 5, 8, std::wstring(259, L'p')}.Encode()));
}

TEST(ForwardedRequest, RefusesWrongIdentifierOrLength) {
    const Bytes good = ForwardedRequest{0, 60, 4, L"x"}.Encode();
    std::vector<uint8_t> bigger(good.begin(), good.end());
    bigger.push_back(0);
    EXPECT_TRUE(ForwardedRequest::Decode(0, good.data(), 532).has_value());
    EXPECT_FALSE(ForwardedRequest::Decode(1, good.data(), 532).has_value());
    EXPECT_FALSE(ForwardedRequest::Decode(0xFFFFFFFFFFFFFFFFull, good.data(), 532).has_value());
    EXPECT_FALSE(ForwardedRequest::Decode(0, good.data(), 531).has_value());
    EXPECT_FALSE(ForwardedRequest::Decode(0, bigger.data(), 533).has_value());
    EXPECT_FALSE(ForwardedRequest::Decode(0, good.data(), 0).has_value());
    EXPECT_FALSE(ForwardedRequest::Decode(0, nullptr, 532).has_value());
}

TEST(ForwardedRequest, HostileTextNeverReadsPastTheMessage) {
    // Exactly 532 bytes on the heap, so that any read beyond them is reported by the sanitizer.
    std::vector<uint8_t> allOnes(ForwardedRequest::kBytes, 0xFF);
    std::optional<ForwardedRequest> request = ForwardedRequest::Decode(0, allOnes.data(), allOnes.size());
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->kind, -1);
    EXPECT_EQ(request->seconds, -1);
    EXPECT_EQ(request->action, -1);
    EXPECT_EQ(request->text, std::wstring(259, static_cast<wchar_t>(0xFFFF)));

    // No NUL anywhere in the text field.
    Bytes noNul{};
    for (size_t i = 0; i < ForwardedRequest::kTextUnits; ++i)
        PutUnit(noNul, i, static_cast<uint16_t>(L'a' + i % 26));
    request = Decode(noNul);
    ASSERT_TRUE(request.has_value());
    ASSERT_EQ(request->text.size(), 259u);
    EXPECT_EQ(request->text.back(), static_cast<wchar_t>(L'a' + 258 % 26));

    // The cut falls inside a pair: the high half is dropped, not kept alone.
    Bytes splitPair = noNul;
    PutUnit(splitPair, 258, 0xD83D);
    PutUnit(splitPair, 259, 0xDE00);
    request = Decode(splitPair);
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->text.size(), 258u);

    // A lone surrogate the sender ended with a NUL is the sender's text and is kept.
    Bytes loneHigh = noNul;
    PutUnit(loneHigh, 258, 0xD83D);
    PutUnit(loneHigh, 259, 0);
    request = Decode(loneHigh);
    ASSERT_TRUE(request.has_value());
    ASSERT_EQ(request->text.size(), 259u);
    EXPECT_EQ(static_cast<uint32_t>(request->text.back()), 0xD83Du);
}

TEST(ForwardedRequest, DecodesFromAnyAlignment) {
    const Bytes bytes = ForwardedRequest{1, 7 * 3600, 3, L"odd"}.Encode();
    for (size_t offset = 0; offset < 4; ++offset) {
        std::vector<uint8_t> shifted(ForwardedRequest::kBytes + offset);
        std::memcpy(shifted.data() + offset, bytes.data(), bytes.size());
        const std::optional<ForwardedRequest> request =
            ForwardedRequest::Decode(0, shifted.data() + offset, ForwardedRequest::kBytes);
        ASSERT_TRUE(request.has_value()) << offset;
        EXPECT_EQ(*request, (ForwardedRequest{1, 7 * 3600, 3, L"odd"})) << offset;
    }
}

}  // namespace
