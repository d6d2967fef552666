#pragma once

// A small, forgiving, single-pass XML reader for the short documents our endpoints answer with.
// It is not a validating parser: it accepts much that is not well-formed, rejects a few specific
// faults (recorded in the parse context), and offers only the look-ups the callers need.
//
// Every byte of its input comes from the network. The parser never reads past the end of the text
// (embedded NULs are ordinary characters), takes time linear in the size of the text, and refuses
// documents nested deeper than kMaxXmlDepth instead of recursing without bound.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/xml/xml_attribute.h"
#include "common/xml/xml_parse_context.h"

enum XmlNodeType : uint32_t {
    XmlElement = 0,
    XmlProcessingInstruction = 1,  // reserved: processing instructions are skipped, never stored
    XmlComment = 2,
    XmlCData = 3,
};

class CXmlNode {
  public:
    // Element: tag name as written, "#COMMENT" or "#CDATA" otherwise.
    std::wstring name;
    // Element: its text (the first run with visible text); comment and CDATA: the raw text.
    std::wstring value;
    CXmlNode* parent = nullptr;
    std::vector<std::unique_ptr<CXmlNode>> children;
    std::vector<std::unique_ptr<CXmlAttribute>> attributes;
    XmlNodeType type = XmlElement;

    CXmlNode() = default;
    CXmlNode(const CXmlNode&) = delete;
    CXmlNode& operator=(const CXmlNode&) = delete;

    // Parses one element, with everything nested in it, from the first "<" at or after `position`.
    // Returns the index just after what it consumed, or nothing on failure (the context may then
    // hold the first error's record). A comment or CDATA section met before a child element
    // becomes a sibling preceding it; an element still open at the end of the text is accepted.
    // The tree holds copies, so the text may go away once Parse returns.
    std::optional<size_t> Parse(std::wstring_view text,
                                size_t position = 0,
                                CXmlParseContext& context = DefaultXmlParseContext);

    // Deletes every child (with its subtree) and every attribute; name and value stay.
    void RemoveAll();

    size_t ChildCount() const { return children.size(); }
    // The child at a zero-based index (elements, comments and CDATA alike), or null.
    CXmlNode* ChildAt(size_t index) const;

    // The first attribute named exactly `attributeName` (case-sensitive), or null.
    CXmlAttribute* FindAttribute(std::wstring_view attributeName) const;
    // Its value, or null when the attribute is absent: absent and empty are different answers.
    const std::wstring* AttributeValue(std::wstring_view attributeName) const;

    // Element names are compared case-insensitively by every caller (ASCII letters only).
    bool IsNamed(std::wstring_view elementName) const;
};

// Parses a whole answer whose root must be closed within the text. The reader accepts elements
// still open at the end of the text, which would let an answer cut short (a dropped connection, the
// getter's size limit) pass for a whole document with parts missing; this refuses it. False when the
// parse fails or the root is not closed.
bool ParseClosedRoot(CXmlNode& root, std::wstring_view text, CXmlParseContext& context = DefaultXmlParseContext);

// Case-insensitive comparison of ASCII letters; other characters must match exactly.
bool XmlNamesEqualIgnoringCase(std::wstring_view a, std::wstring_view b);
