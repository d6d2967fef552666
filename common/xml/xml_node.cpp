#include "common/xml/xml_node.h"

#include <algorithm>

#include "common/text/ascii_case.h"

namespace {

// Whitespace between tokens.
bool IsTokenSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// Whitespace for trimming and for the blank-value test: Unicode's White_Space set, spelled out so
// that the Linux and the Windows build agree whatever their C runtime's iswspace thinks.
bool IsWideSpace(wchar_t c) {
    if (IsTokenSpace(c))
        return true;
    switch (static_cast<uint32_t>(c)) {
        case 0x85:
        case 0xA0:
        case 0x1680:
        case 0x2028:
        case 0x2029:
        case 0x202F:
        case 0x205F:
        case 0x3000:
            return true;
        default:
            return c >= 0x2000 && c <= 0x200A;
    }
}

bool IsBlank(std::wstring_view s) {
    return std::all_of(s.begin(), s.end(), IsWideSpace);
}

class CXmlReader {
  public:
    CXmlReader(std::wstring_view text, CXmlParseContext& context)
        : m_text(text), m_size(text.size()), m_context(context), m_escape(context.escapeCharacter) {}

    std::optional<size_t> Element(CXmlNode& node, size_t position, int depth);

  private:
    std::optional<size_t> Attributes(CXmlNode& node, size_t position);
    size_t Markup(CXmlNode& node,
                  size_t position,
                  std::wstring_view open,
                  std::wstring_view close,
                  XmlNodeType type,
                  const wchar_t* name);

    size_t SkipSpace(size_t i) const {
        while (i < m_size && IsTokenSpace(m_text[i]))
            ++i;
        return i;
    }
    bool StartsWithIgnoringCase(size_t i, std::wstring_view token) const {
        if (m_size - std::min(i, m_size) < token.size())
            return false;
        for (size_t k = 0; k < token.size(); ++k) {
            if (AsciiLower(m_text[i + k]) != AsciiLower(token[k]))
                return false;
        }
        return true;
    }
    bool IsEscape(wchar_t c) const { return m_escape != 0 && c == m_escape; }
    // Steps over an escape character and the character it protects, never past the end.
    size_t StepOverEscape(size_t i) const { return std::min(i + 2, m_size); }

    size_t FindDelimiter(size_t i, std::wstring_view delimiter) const;
    size_t FindClosingQuote(size_t i, wchar_t quote) const;
    size_t ScanTextRun(size_t i) const;
    void StoreValue(std::wstring& destination, size_t begin, size_t end) const;

    std::wstring_view m_text;
    size_t m_size;
    CXmlParseContext& m_context;
    wchar_t m_escape;
};

// The first match of `delimiter` (ASCII case-insensitive) that does not start at an escaped
// position, or npos.
size_t CXmlReader::FindDelimiter(size_t i, std::wstring_view delimiter) const {
    while (i < m_size && m_size - i >= delimiter.size()) {
        if (IsEscape(m_text[i])) {
            i = StepOverEscape(i);
            continue;
        }
        if (StartsWithIgnoringCase(i, delimiter))
            return i;
        ++i;
    }
    return std::wstring_view::npos;
}

size_t CXmlReader::FindClosingQuote(size_t i, wchar_t quote) const {
    while (i < m_size) {
        if (IsEscape(m_text[i]))
            i = StepOverEscape(i);
        else if (m_text[i] == quote)
            return i;
        else
            ++i;
    }
    return std::wstring_view::npos;
}

// Element text runs to the next "<" or the end; an escaped "<" does not end it.
size_t CXmlReader::ScanTextRun(size_t i) const {
    while (i < m_size && m_text[i] != L'<')
        i = IsEscape(m_text[i]) ? StepOverEscape(i) : i + 1;
    return i;
}

void CXmlReader::StoreValue(std::wstring& destination, size_t begin, size_t end) const {
    if (m_context.trim) {
        while (begin < end && IsWideSpace(m_text[begin]))
            ++begin;
        while (end > begin && IsWideSpace(m_text[end - 1]))
            --end;
    }
    if (begin >= end)
        return;
    std::wstring value;
    value.reserve(end - begin);
    for (size_t i = begin; i < end; ++i) {
        if (IsEscape(m_text[i])) {
            // The escape character itself goes; what it protects stays. A lone one at the very end
            // of the range protects nothing and simply goes.
            if (++i < end)
                value += m_text[i];
        } else {
            value += m_text[i];
        }
    }
    if (m_context.decodeEntities && m_context.entityTable)
        DecodeEntitiesInPlace(*m_context.entityTable, value);
    destination = std::move(value);
}

// A comment or CDATA section at `position`. Below the root it becomes a node in the parent of the
// element being parsed, so it precedes that element as a sibling; at the root it is skipped.
size_t CXmlReader::Markup(CXmlNode& node,
                          size_t position,
                          std::wstring_view open,
                          std::wstring_view close,
                          XmlNodeType type,
                          const wchar_t* name) {
    const size_t begin = position + open.size();
    const size_t end = FindDelimiter(begin, close);
    const size_t contentEnd = end == std::wstring_view::npos ? m_size : end;
    if (node.parent) {
        auto markup = std::make_unique<CXmlNode>();
        markup->name = name;
        markup->value.assign(m_text.substr(begin, contentEnd - begin));
        markup->type = type;
        markup->parent = node.parent;
        node.parent->children.push_back(std::move(markup));
    }
    return end == std::wstring_view::npos ? m_size : end + close.size();
}

std::optional<size_t> CXmlReader::Attributes(CXmlNode& node, size_t position) {
    size_t i = position;
    for (;;) {
        i = SkipSpace(i);
        if (i >= m_size)
            return std::nullopt;  // the text ends inside the start tag
        if (m_text[i] == L'>' || m_text[i] == L'/')
            return i;

        // Only a space or "=" ends a name; "<a d>" is an error, not an attribute "d".
        const size_t nameEnd = m_text.find_first_of(L" =", i);
        if (nameEnd == std::wstring_view::npos) {
            m_context.RecordError(i, XmlErrorAttributeSyntax, node.name);
            return std::nullopt;
        }
        auto attribute = std::make_unique<CXmlAttribute>();
        attribute->name.assign(m_text.substr(i, nameEnd - i));
        attribute->owner = &node;
        CXmlAttribute& added = *attribute;
        node.attributes.push_back(std::move(attribute));

        i = SkipSpace(nameEnd);
        if (i >= m_size || m_text[i] != L'=')
            continue;
        i = SkipSpace(i + 1);
        if (i >= m_size)
            return std::nullopt;
        if (m_text[i] == L'"' || m_text[i] == L'\'') {
            const size_t close = FindClosingQuote(i + 1, m_text[i]);
            if (close == std::wstring_view::npos)
                return std::nullopt;
            StoreValue(added.value, i + 1, close);
            i = close + 1;
        } else {
            const size_t end = m_text.find_first_of(L" >", i);
            if (end == std::wstring_view::npos)
                return std::nullopt;
            StoreValue(added.value, i, end);
            i = end;
        }
    }
}

std::optional<size_t> CXmlReader::Element(CXmlNode& node, size_t position, int depth) {
    node.RemoveAll();

    // Find the start tag, passing over processing instructions (the XML declaration among them),
    // and comments and CDATA sections before the root.
    size_t i = position;
    for (;;) {
        const size_t open = m_text.find(L'<', i);
        if (open == std::wstring_view::npos) {
            // Text with no element at all fails. Below the root, trailing text simply runs to the
            // end of the text, where the open elements are accepted.
            if (node.parent)
                return m_size;
            return std::nullopt;
        }
        if (open + 1 < m_size && m_text[open + 1] == L'/')
            return open;  // the parent's end tag: this node stays unnamed
        if (StartsWithIgnoringCase(open, L"<?")) {
            const size_t end = FindDelimiter(open + 2, L"?>");
            i = end == std::wstring_view::npos ? m_size : end + 2;
            continue;
        }
        if (StartsWithIgnoringCase(open, L"<!--"))
            i = Markup(node, open, L"<!--", L"-->", XmlComment, L"#COMMENT");
        else if (StartsWithIgnoringCase(open, L"<![CDATA["))
            i = Markup(node, open, L"<![CDATA[", L"]]>", XmlCData, L"#CDATA");
        else {
            i = open;
            break;
        }
        if (node.parent)
            return i;
    }

    const size_t nameEnd = m_text.find_first_of(L" />\t\r\n", i + 1);
    if (nameEnd == std::wstring_view::npos)
        return std::nullopt;
    const std::wstring_view name = m_text.substr(i + 1, nameEnd - i - 1);
    if (depth > kMaxXmlDepth) {
        // Left unnamed, so that nothing beyond the limit enters the tree.
        m_context.RecordError(i, XmlErrorTooDeep, name);
        return std::nullopt;
    }
    node.name.assign(name);

    const auto tagEnd = Attributes(node, nameEnd);
    if (!tagEnd)
        return std::nullopt;
    i = *tagEnd;
    if (m_text[i] == L'/') {
        if (i + 1 >= m_size)
            return std::nullopt;
        if (m_text[i + 1] == L'>')
            return i + 2;
        m_context.RecordError(i, XmlErrorEmptyTagNotClosed, node.name);
        return std::nullopt;
    }

    ++i;  // past ">"
    bool valueBlank = IsBlank(node.value);
    if (valueBlank) {
        const size_t end = ScanTextRun(i);
        StoreValue(node.value, i, end);
        valueBlank = IsBlank(node.value);
        i = end;
    }

    while (i < m_size) {
        // A child parsed at our own end tag would come back unnamed at once; spare the node.
        const size_t open = m_text.find(L'<', i);
        if (open != std::wstring_view::npos && open + 1 < m_size && m_text[open + 1] == L'/') {
            i = open;
        } else {
            auto child = std::make_unique<CXmlNode>();
            child->parent = &node;
            const auto childEnd = Element(*child, i, depth + 1);
            if (!child->name.empty())
                node.children.push_back(std::move(child));
            if (!childEnd)
                return std::nullopt;
            i = *childEnd;
        }

        if (i + 1 < m_size && m_text[i] == L'<' && m_text[i + 1] == L'/') {
            const size_t nameBegin = SkipSpace(i + 2);
            const size_t endTagNameEnd = m_text.find_first_of(L" >", nameBegin);
            if (endTagNameEnd == std::wstring_view::npos) {
                m_context.RecordError(i, XmlErrorNoEndTag, node.name);
                return std::nullopt;
            }
            const std::wstring_view endTagName = m_text.substr(nameBegin, endTagNameEnd - nameBegin);
            // "</a >" is consumed whole, so the ">" is not taken for the parent's text.
            size_t after = endTagNameEnd + 1;
            if (m_text[endTagNameEnd] == L' ') {
                const size_t close = SkipSpace(after);
                if (close < m_size && m_text[close] == L'>')
                    after = close + 1;
            }
            if (endTagName == node.name)
                return after;
            if (!m_context.force) {
                m_context.RecordError(i, XmlErrorMismatchedEndTag, node.name, endTagName);
                return std::nullopt;
            }
            i = after;
            continue;
        }

        // A blank run is replaced by later text; the first run with visible text is kept.
        if (valueBlank && i < m_size && m_text[i] != L'<') {
            const size_t end = ScanTextRun(i);
            StoreValue(node.value, i, end);
            valueBlank = IsBlank(node.value);
            i = end;
        }
    }
    return i;  // still open at the end of the text: accepted
}

}  // namespace

std::optional<size_t> CXmlNode::Parse(std::wstring_view text, size_t position, CXmlParseContext& context) {
    CXmlReader reader(text, context);
    return reader.Element(*this, position, 1);
}

void CXmlNode::RemoveAll() {
    children.clear();
    attributes.clear();
}

CXmlNode* CXmlNode::ChildAt(size_t index) const {
    return index < children.size() ? children[index].get() : nullptr;
}

CXmlAttribute* CXmlNode::FindAttribute(std::wstring_view attributeName) const {
    for (const auto& attribute : attributes) {
        if (attribute->name == attributeName)
            return attribute.get();
    }
    return nullptr;
}

const std::wstring* CXmlNode::AttributeValue(std::wstring_view attributeName) const {
    const CXmlAttribute* attribute = FindAttribute(attributeName);
    return attribute ? &attribute->value : nullptr;
}

bool CXmlNode::IsNamed(std::wstring_view elementName) const {
    return XmlNamesEqualIgnoringCase(name, elementName);
}

bool ParseClosedRoot(CXmlNode& root, std::wstring_view text, CXmlParseContext& context) {
    // An end tag that matches nothing is put after the text: a root still open meets it and fails,
    // and a root closed within the text ends before it. Should a cut comment or text run swallow
    // it, the parse ends beyond the text and is refused as well.
    std::wstring guarded;
    guarded.reserve(text.size() + 3);
    guarded.append(text);
    guarded.append(L"</>");
    const std::optional<size_t> end = root.Parse(guarded, 0, context);
    return end && *end <= text.size();
}

bool XmlNamesEqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return EqualsIgnoringAsciiCase(a, b);
}
