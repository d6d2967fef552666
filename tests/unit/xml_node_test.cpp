#include "common/xml/xml_node.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// A compact picture of a tree: name[attr=value ...]="value"{child,child}.
std::wstring Dump(const CXmlNode& node) {
    std::wstring out = node.name;
    if (!node.attributes.empty()) {
        out += L'[';
        for (size_t i = 0; i < node.attributes.size(); ++i) {
            if (i)
                out += L' ';
            out += node.attributes[i]->name + L'=' + node.attributes[i]->value;
        }
        out += L']';
    }
    if (!node.value.empty())
        out += L"=\"" + node.value + L'"';
    if (node.ChildCount()) {
        out += L'{';
        for (size_t i = 0; i < node.ChildCount(); ++i) {
            if (i)
                out += L',';
            out += Dump(*node.ChildAt(i));
        }
        out += L'}';
    }
    return out;
}

struct ParseCase {
    const char* label;
    std::wstring text;
    bool succeeds;
    std::wstring tree;  // the root as Dump draws it, also after a failure (the partial tree)
    XmlErrorCode error;
    std::wstring message;
};

class XmlParse : public testing::TestWithParam<ParseCase> {};

TEST_P(XmlParse, BuildsTheTreeAndRecordsTheFirstError) {
    const ParseCase& c = GetParam();
    CXmlParseContext context;
    CXmlNode root;
    const auto end = root.Parse(c.text, 0, context);
    EXPECT_EQ(end.has_value(), c.succeeds);
    EXPECT_EQ(Dump(root), c.tree);
    EXPECT_EQ(context.errorCode, c.error);
    EXPECT_EQ(context.error, c.error != XmlErrorNone);
    EXPECT_EQ(context.errorMessage, c.message);
    if (end) {
        EXPECT_LE(*end, c.text.size());
    }
}

// clang-format off
const ParseCase kParseCases[] = {
    {"attributes in order, quoted, unquoted and bare", L"<a b='1' c=2 d >x</a>", true,
     L"a[b=1 c=2 d=]=\"x\"", XmlErrorNone, L""},
    {"a name ends only at a space or =", L"<a d>x</a>", false, L"a", XmlErrorAttributeSyntax,
     L"<a> attribute has error"},
    {"declaration passed over", L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<version v=\"2\"></version>",
     true, L"version[v=2]", XmlErrorNone, L""},
    {"comment before the root is skipped", L"<!-- hello --><r/>", true, L"r", XmlErrorNone, L""},
    {"comment between children is a child between them", L"<r><x/><!--mid--><y/></r>", true,
     L"r{x,#COMMENT=\"mid\",y}", XmlErrorNone, L""},
    {"CDATA precedes the element after it", L"<r><![CDATA[<b>&amp;]]><y/></r>", true,
     L"r{#CDATA=\"<b>&amp;\",y}", XmlErrorNone, L""},
    {"markup keywords in any case", L"<R><!-- a --><![cdata[b]]></R>", true,
     L"R{#COMMENT=\" a \",#CDATA=\"b\"}", XmlErrorNone, L""},
    {"comment just before the end tag", L"<r><x/><!--last--></r>", true, L"r{x,#COMMENT=\"last\"}",
     XmlErrorNone, L""},
    {"processing instruction inside is skipped", L"<r><?pi data?><y/></r>", true, L"r{y}", XmlErrorNone,
     L""},
    {"mismatched end tag, case differs", L"<a>x</A>", false, L"a=\"x\"", XmlErrorMismatchedEndTag,
     L"'<a> ... </A>' is not wel-formed."},
    {"slash not followed by >", L"<a/ >", false, L"a", XmlErrorEmptyTagNotClosed, L"Element must be closed."},
    {"element left open at the end", L"<a><b/>", true, L"a{b}", XmlErrorNone, L""},
    {"open elements nested at the end", L"<a><b><c>deep", true, L"a{b{c=\"deep\"}}", XmlErrorNone, L""},
    {"open element with text after its last child", L"<a>x<b/>tail", true, L"a=\"x\"{b}", XmlErrorNone, L""},
    {"one pass of entity decoding", L"<a v='x &amp;amp; y' w=\"&#65;&AMP;\">&lt;b&gt;</a>", true,
     L"a[v=x &amp; y w=&#65;&AMP;]=\"<b>\"", XmlErrorNone, L""},
    {"text keeps its spaces", L"<a>  x y  </a>", true, L"a=\"  x y  \"", XmlErrorNone, L""},
    {"escaped angle brackets in text", L"<a>\\<b\\></a>", true, L"a=\"<b>\"", XmlErrorNone, L""},
    {"escaped quote and backslash in a value", L"<a v=\"say \\\"hi\\\" \\\\ \\q\"/>", true,
     L"a[v=say \"hi\" \\ q]", XmlErrorNone, L""},
    {"a backslash does not protect an unquoted value", L"<a v=x\\ y=1>t</a>", true, L"a[v=x y=1]=\"t\"",
     XmlErrorNone, L""},
    {"blank run replaced by later text", L"<r> <x/>text<y/>more</r>", true, L"r=\"text\"{x,y}",
     XmlErrorNone, L""},
    {"first visible run kept", L"<r>first<x/>second</r>", true, L"r=\"first\"{x}", XmlErrorNone, L""},
    {"duplicate attributes kept, unquoted value runs past /", L"<a k=1 k=2/>", true, L"a[k=1 k=2/]", XmlErrorNone, L""},
    {"tag name ends at tab and line feed", L"<a\tb=\"1\"/>", true, L"a[b=1]", XmlErrorNone, L""},
    {"empty value and = without value", L"<a b=\"\" c=>t</a>", true, L"a[b= c=]=\"t\"", XmlErrorNone, L""},
    {"space inside the end tag", L"<r><a>x</ a ></r>", true, L"r{a=\"x\"}", XmlErrorNone, L""},
    {"end tag not closed", L"<r><a>x</a", false, L"r{a=\"x\"}", XmlErrorNoEndTag,
     L"it must be closed with </a>"},
    {"mismatch deep down fails the whole parse", L"<r><a><b>x</c></a></r>", false, L"r{a{b=\"x\"}}",
     XmlErrorMismatchedEndTag, L"'<b> ... </c>' is not wel-formed."},
    {"no < at all", L"plain text", false, L"", XmlErrorNone, L""},
    {"empty text", L"", false, L"", XmlErrorNone, L""},
    {"ends inside a tag name", L"<abc", false, L"", XmlErrorNone, L""},
    {"ends inside a quoted value", L"<a b=\"x", false, L"a[b=]", XmlErrorNone, L""},
    {"ends inside an unquoted value", L"<a b=x", false, L"a[b=]", XmlErrorNone, L""},
    {"ends after =", L"<a b= ", false, L"a[b=]", XmlErrorNone, L""},
    {"ends after the slash of an empty tag", L"<a/", false, L"a", XmlErrorNone, L""},
    {"ends inside an attribute name", L"<a b", false, L"a", XmlErrorAttributeSyntax,
     L"<a> attribute has error"},
    {"comment never closed at the root", L"<!-- never", false, L"", XmlErrorNone, L""},
    {"comment never closed below the root", L"<r><!-- never", true, L"r{#COMMENT=\" never\"}",
     XmlErrorNone, L""},
    {"CDATA never closed below the root", L"<r><![CDATA[x]]", true, L"r{#CDATA=\"x]]\"}", XmlErrorNone,
     L""},
    {"processing instruction never closed", L"<?xml version='1.0'", false, L"", XmlErrorNone, L""},
    {"escaped delimiter does not close a comment", L"<r><!-- a \\--> b --><y/></r>", true,
     L"r{#COMMENT=\" a \\--> b \",y}", XmlErrorNone, L""},
    {"an escape at the very end", L"<a>x\\", true, L"a=\"x\"", XmlErrorNone, L""},
    {"embedded NULs are ordinary characters", std::wstring(L"<a v=\"x\0y\">t\0u</a>", 18), true,
     std::wstring(L"a[v=x\0y]=\"t\0u\"", 14), XmlErrorNone, L""},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases,
                         XmlParse,
                         testing::ValuesIn(kParseCases),
                         [](const testing::TestParamInfo<ParseCase>& info) {
                             std::string name;
                             for (const char* p = info.param.label; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(XmlParse, ReturnsThePositionAfterTheRootElement) {
    CXmlNode node;
    EXPECT_EQ(node.Parse(L"<a/>tail"), 4u);
    EXPECT_EQ(node.Parse(L"  <a></a>rest"), 9u);
    EXPECT_EQ(node.Parse(L"<x/><a></a>", 4), 11u);
    EXPECT_EQ(node.name, L"a");
}

TEST(XmlParse, ForceSkipsAStrayEndTagAndKeepsTheElementOpen) {
    CXmlParseContext context;
    context.force = true;
    CXmlNode root;
    const std::wstring text = L"<a>x</A><b/></a>";
    EXPECT_EQ(root.Parse(text, 0, context), text.size());
    EXPECT_EQ(Dump(root), L"a=\"x\"{b}");
    EXPECT_FALSE(context.error);

    CXmlNode open;
    EXPECT_TRUE(open.Parse(L"<a>x</A>", 0, context).has_value());
    EXPECT_EQ(Dump(open), L"a=\"x\"");
}

TEST(XmlParse, KeepsOnlyTheFirstErrorAndClearsOnRequest) {
    CXmlParseContext context;
    CXmlNode node;
    const std::wstring first = L"<r><a/ ></r>";
    EXPECT_FALSE(node.Parse(first, 0, context));
    EXPECT_EQ(context.errorPosition, 5u);
    EXPECT_FALSE(node.Parse(L"<a>x</b>", 0, context));
    EXPECT_FALSE(node.Parse(L"<a d>", 0, context));
    EXPECT_EQ(context.errorCode, XmlErrorEmptyTagNotClosed);
    EXPECT_EQ(context.errorMessage, L"Element must be closed.");
    EXPECT_EQ(context.errorPosition, 5u);

    context.ClearError();
    EXPECT_FALSE(node.Parse(L"<a>x</b>", 0, context));
    EXPECT_EQ(context.errorCode, XmlErrorMismatchedEndTag);
    EXPECT_EQ(context.errorPosition, 4u);
}

TEST(XmlParse, TrimOptionAndNoEscapeCharacter) {
    CXmlParseContext trim;
    trim.trim = true;
    CXmlNode node;
    ASSERT_TRUE(node.Parse(L"<a v=\"  x  \" w=\"   \">\n  t \n</a>", 0, trim));
    EXPECT_EQ(Dump(node), L"a[v=x w=]=\"t\"");

    CXmlParseContext raw;
    raw.escapeCharacter = 0;
    raw.decodeEntities = false;
    CXmlNode fresh;
    ASSERT_TRUE(fresh.Parse(L"<a dir=\"C:\\Temp\\\" e=\"&amp;\">\\\\</a>", 0, raw));
    EXPECT_EQ(Dump(fresh), L"a[dir=C:\\Temp\\ e=&amp;]=\"\\\\\"");
}

TEST(XmlParse, ReusedNodeKeepsNameAndValueButLosesItsChildren) {
    CXmlNode node;
    ASSERT_TRUE(node.Parse(L"<a k=1><b/><c/></a>"));
    ASSERT_EQ(node.ChildCount(), 2u);
    node.value = L"kept";
    node.RemoveAll();
    EXPECT_EQ(node.ChildCount(), 0u);
    EXPECT_TRUE(node.attributes.empty());
    EXPECT_EQ(node.name, L"a");
    EXPECT_EQ(node.value, L"kept");

    // A value that is not blank is not replaced by the text of the next parse.
    ASSERT_TRUE(node.Parse(L"<x>new</x>"));
    EXPECT_EQ(Dump(node), L"x=\"kept\"");
}

TEST(XmlNode, LooksUpChildrenAndAttributes) {
    CXmlNode node;
    ASSERT_TRUE(node.Parse(L"<e id=\"5\" empty=\"\" id=\"6\"><c1/><!--x--><c2/></e>"));
    ASSERT_NE(node.AttributeValue(L"id"), nullptr);
    EXPECT_EQ(*node.AttributeValue(L"id"), L"5");
    EXPECT_EQ(node.AttributeValue(L"ID"), nullptr);
    ASSERT_NE(node.AttributeValue(L"empty"), nullptr);
    EXPECT_TRUE(node.AttributeValue(L"empty")->empty());
    EXPECT_EQ(node.FindAttribute(L"missing"), nullptr);
    EXPECT_EQ(node.FindAttribute(L"id")->owner, &node);

    ASSERT_EQ(node.ChildCount(), 3u);
    EXPECT_EQ(node.ChildAt(1)->type, XmlComment);
    EXPECT_EQ(node.ChildAt(2)->name, L"c2");
    EXPECT_EQ(node.ChildAt(2)->parent, &node);
    EXPECT_EQ(node.ChildAt(3), nullptr);
    EXPECT_EQ(node.ChildAt(static_cast<size_t>(-1)), nullptr);
    EXPECT_EQ(node.parent, nullptr);

    EXPECT_TRUE(node.IsNamed(L"E"));
    EXPECT_TRUE(XmlNamesEqualIgnoringCase(L"VerSion", L"version"));
    EXPECT_FALSE(XmlNamesEqualIgnoringCase(L"version", L"versio"));
    EXPECT_FALSE(XmlNamesEqualIgnoringCase(L"\u00C9", L"\u00E9"));
}

std::wstring Nested(int depth) {
    std::wstring text;
    for (int i = 0; i < depth; ++i)
        text += L"<n>";
    text += L"x";
    for (int i = 0; i < depth; ++i)
        text += L"</n>";
    return text;
}

int Depth(const CXmlNode& node) {
    int deepest = 0;
    for (const auto& child : node.children)
        deepest = std::max(deepest, Depth(*child));
    return deepest + 1;
}

TEST(XmlParse, RefusesNestingDeeperThanTheLimit) {
    CXmlParseContext context;
    CXmlNode root;
    const std::wstring atLimit = Nested(kMaxXmlDepth);
    EXPECT_EQ(root.Parse(atLimit, 0, context), atLimit.size());
    EXPECT_EQ(Depth(root), kMaxXmlDepth);
    const CXmlNode* node = &root;
    while (node->ChildCount())
        node = node->ChildAt(0);
    EXPECT_EQ(node->value, L"x");
    EXPECT_FALSE(context.error);

    EXPECT_FALSE(root.Parse(Nested(kMaxXmlDepth + 1), 0, context));
    EXPECT_EQ(context.errorCode, XmlErrorTooDeep);
    EXPECT_EQ(context.errorMessage, L"<n> is nested too deeply");
    EXPECT_EQ(context.errorPosition, 3u * kMaxXmlDepth);
    // The partial tree stops at the limit: the element beyond it was never added.
    EXPECT_EQ(Depth(root), kMaxXmlDepth);
}

TEST(XmlParse, AMillionOpenElementsFailWithoutExhaustingTheStack) {
    std::wstring text;
    text.reserve(3'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        text += L"<n>";
    CXmlNode root;
    CXmlParseContext context;
    EXPECT_FALSE(root.Parse(text, 0, context));
    EXPECT_EQ(context.errorCode, XmlErrorTooDeep);
}

}  // namespace
