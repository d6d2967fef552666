#include "common/xml/xml_entity_table.h"

#include <gtest/gtest.h>

namespace {

TEST(DecodeEntities, BuiltInTableInOnePass) {
    const struct {
        std::wstring_view text;
        std::wstring_view decoded;
    } cases[] = {
        {L"&amp;lt;", L"&lt;"},
        {L"&lt;&gt;&quot;&apos;&amp;", L"<>\"'&"},
        {L"a &#65; &#x41; b", L"a &#65; &#x41; b"},
        {L"&AMP; &Lt;", L"&AMP; &Lt;"},
        {L"&amp &lt", L"&amp &lt"},
        {L"&", L"&"},
        {L"x&&amp;;", L"x&&;"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeEntities(CXmlEntityTable::BuiltIn(), c.text), c.decoded) << std::wstring(c.text);
}

TEST(DecodeEntities, FirstMatchingEntryWins) {
    CXmlEntityTable table{{L'1', L"&x;"}, {L'2', L"&x;"}, {L'3', L"&xy;"}};
    EXPECT_EQ(DecodeEntities(table, L"&x;&xy;&y;"), L"13&y;");
    EXPECT_EQ(DecodeEntities(CXmlEntityTable{}, L"&amp;"), L"&amp;");
}

TEST(CXmlEntityTable, RefusesEmptyAndOverlongReferences) {
    CXmlEntityTable table;
    EXPECT_FALSE(table.Add(L'a', L""));
    EXPECT_FALSE(table.Add(L'b', L"&elevenchr;"));
    EXPECT_TRUE(table.Add(L'c', L"&tenchars;"));
    ASSERT_EQ(table.Entries().size(), 1u);
    EXPECT_EQ(table.Entries()[0].length, 10u);
    EXPECT_EQ(DecodeEntities(table, L"[&tenchars;]"), L"[c]");

    const auto& builtIn = CXmlEntityTable::BuiltIn().Entries();
    ASSERT_EQ(builtIn.size(), 5u);
    EXPECT_EQ(builtIn[0].character, L'&');
    EXPECT_EQ(builtIn[1].length, 6u);
    EXPECT_EQ(std::wstring_view(builtIn[4].reference), L"&gt;");
}

}  // namespace
