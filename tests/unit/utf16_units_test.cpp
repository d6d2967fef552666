#include "scheduler/core/utf16_units.h"

#include <gtest/gtest.h>

#include <string>

#include "scheduler/core/alarm_message.h"
#include "scheduler/ui/tray_tooltip.h"
#include "tests/unit/awkward_texts.h"

// Every expectation here is in UTF-16 units, so the same cases hold where wchar_t is a unit
// (Windows) and where it is a whole character (Linux).

namespace {

const std::wstring kEmoji = L"\U0001F600";

TEST(Utf16Units, ConvertAndCount) {
    EXPECT_EQ(ToUtf16Units(L"a\u00E9\uC2DC" + kEmoji), (std::u16string{u'a', 0xE9, 0xC2DC, 0xD83D, 0xDE00}));
    EXPECT_EQ(Utf16Length(L"a\u00E9\uC2DC" + kEmoji), 5u);
    EXPECT_EQ(Utf16Length(L""), 0u);
    for (const std::wstring& text : AwkwardTexts()) {
        EXPECT_EQ(FromUtf16Units(ToUtf16Units(text)), text) << testing::PrintToString(text);
        EXPECT_EQ(Utf16Length(text), ToUtf16Units(text).size());
    }
    // Unpaired surrogates are carried as they are, in either order.
    const std::u16string lone = {0xDE00, u'x', 0xD83D};
    EXPECT_EQ(ToUtf16Units(FromUtf16Units(lone)), lone);
    if constexpr (sizeof(wchar_t) > 2) {
        EXPECT_EQ(FromUtf16Units(std::u16string{0xD83D, 0xDE00}), kEmoji);
        EXPECT_EQ(ToUtf16Units(std::wstring(1, static_cast<wchar_t>(0x110000))), std::u16string(1, 0xFFFD));
    }
}

TEST(Utf16Units, CutNeverSplitsAPair) {
    struct Case {
        std::wstring text;
        size_t maxUnits;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"abc", 5, L"abc"},
        {L"abc", 3, L"abc"},
        {L"abc", 2, L"ab"},
        {L"abc", 0, L""},
        {L"a" + kEmoji + L"b", 4, L"a" + kEmoji + L"b"},
        {L"a" + kEmoji + L"b", 3, L"a" + kEmoji},
        {L"a" + kEmoji + L"b", 2, L"a"},
        {kEmoji, 1, L""},
        {kEmoji + kEmoji, 3, kEmoji},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CutToUtf16Units(c.text, c.maxUnits), c.expected)
            << testing::PrintToString(c.text) << c.maxUnits;
}

TEST(TrayTooltipText, HoldsAtMost127Units) {
    struct Case {
        std::wstring text;
        std::wstring expected;
    };
    const std::wstring a126(126, L'a');
    const Case cases[] = {
        {L"Tivolan - 10:00 Shut down", L"Tivolan - 10:00 Shut down"},
        {std::wstring(127, L't'), std::wstring(127, L't')},
        {std::wstring(128, L't'), std::wstring(127, L't')},
        {std::wstring(500, L'\uC2DC'), std::wstring(127, L'\uC2DC')},
        {a126 + kEmoji, a126},  // 128 units: the pair goes whole
        {std::wstring(125, L'a') + kEmoji + L"b", std::wstring(125, L'a') + kEmoji},
        {std::wstring(L"ab\0cd", 5), L"ab"},
    };
    for (const Case& c : cases) {
        const std::wstring tip = TrayTooltipText(c.text);
        EXPECT_EQ(tip, c.expected) << c.text.size();
        EXPECT_LT(Utf16Length(tip), kTrayTooltipUnits);
    }
}

TEST(PadAlarmMessage, PadsTo20Units) {
    struct Case {
        std::wstring message;
        std::wstring shown;
    };
    const Case cases[] = {
        {L"Tea", L"Tea" + std::wstring(17, L' ')},
        {L"", std::wstring(20, L' ')},
        {std::wstring(19, L'x'), std::wstring(19, L'x') + L" "},
        {std::wstring(20, L'x'), std::wstring(20, L'x')},
        {std::wstring(25, L'x'), std::wstring(25, L'x')},
        {L"\uCC28 " + kEmoji, L"\uCC28 " + kEmoji + std::wstring(16, L' ')},
        {L"  ", std::wstring(20, L' ')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PadAlarmMessage(c.message), c.shown) << testing::PrintToString(c.message);
}

}  // namespace
