#include "common/text/string_block.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// A block as the resource compiler writes it: sixteen entries, each a length and its UTF-16 units.
std::vector<uint8_t> BlockOf(const std::vector<std::u16string>& entries) {
    std::vector<uint8_t> bytes;
    auto unit = [&bytes](uint32_t value) {
        bytes.push_back(static_cast<uint8_t>(value));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
    };
    for (size_t i = 0; i < 16; ++i) {
        const std::u16string text = i < entries.size() ? entries[i] : u"";
        unit(static_cast<uint32_t>(text.size()));
        for (const char16_t ch : text)
            unit(ch);
    }
    return bytes;
}

TEST(StringBlock, NamesTheBlockOfSixteenStrings) {
    EXPECT_EQ(StringBlockName(0), 1u);
    EXPECT_EQ(StringBlockName(15), 1u);
    EXPECT_EQ(StringBlockName(16), 2u);
    EXPECT_EQ(StringBlockName(128), 9u);
    EXPECT_EQ(StringBlockName(194), 13u);
    EXPECT_EQ(StringBlockName(65535), 4096u);
}

TEST(StringBlock, FindsEachEntryByItsPlaceInTheBlock) {
    const auto block =
        BlockOf({u"zero", u"", u"two", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"last"});
    struct Case {
        uint32_t id;
        std::optional<std::wstring> text;
    };
    const Case cases[] = {
        {128, L"zero"},      {130, L"two"},       {143, L"last"},
        {2, L"two"},         {129, std::nullopt},  // an empty entry is a number the table does not define
        {142, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadStringFromBlock(block, c.id), c.text) << c.id;
}

TEST(StringBlock, KeepsTextAsStored) {
    const auto block =
        BlockOf({u"line\none", u"%s \uD55C\uAD6D\uC5B4 \u0395\u03BB", std::u16string(u"a\0b", 3)});
    EXPECT_EQ(ReadStringFromBlock(block, 0), L"line\none");
    EXPECT_EQ(ReadStringFromBlock(block, 1), L"%s \uD55C\uAD6D\uC5B4 \u0395\u03BB");
    EXPECT_EQ(ReadStringFromBlock(block, 2), std::wstring(L"a\0b", 3));
}

TEST(StringBlock, JoinsSurrogatePairsWhereWideCharactersAreWide) {
    const auto block = BlockOf({u"x\U0001F600y", u"\xD800z", u"\xDC00"});
    const auto pair = ReadStringFromBlock(block, 0);
    const auto lone = ReadStringFromBlock(block, 1);
    ASSERT_TRUE(pair && lone);
    if constexpr (sizeof(wchar_t) == 2) {
        EXPECT_EQ(*pair, std::wstring(L"x\xD83D\xDE00y"));
    } else {
        EXPECT_EQ(*pair, std::wstring(L"x") + static_cast<wchar_t>(0x1F600) + L"y");
    }
    EXPECT_EQ(*lone, std::wstring(1, static_cast<wchar_t>(0xD800)) + L"z");
    EXPECT_EQ(ReadStringFromBlock(block, 2), std::wstring(1, static_cast<wchar_t>(0xDC00)));
}

TEST(StringBlock, NeverReadsPastTheEndOfADamagedBlock) {
    const auto whole = BlockOf({u"first", u"second"});
    struct Case {
        const char* what;
        std::vector<uint8_t> block;
        uint32_t id;
    };
    std::vector<Case> cases = {
        {"empty block", {}, 0},
        {"one byte", {5}, 0},
        {"length only", {5, 0}, 0},
        {"text cut short", std::vector<uint8_t>(whole.begin(), whole.begin() + 2 + 2 * 3), 0},
        {"entry before it cut short", std::vector<uint8_t>(whole.begin(), whole.begin() + 2 + 2 * 4), 1},
        {"half a length where the entry starts",
         std::vector<uint8_t>(whole.begin(), whole.begin() + 2 + 2 * 5 + 1), 1},
        {"length beyond the block", {0xFF, 0xFF, 'a', 0}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadStringFromBlock(c.block, c.id), std::nullopt) << c.what;
    // The same prefixes still give what they hold whole.
    EXPECT_EQ(ReadStringFromBlock(std::vector<uint8_t>(whole.begin(), whole.begin() + 12), 0), L"first");
}

}  // namespace
