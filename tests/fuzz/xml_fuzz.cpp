// Fuzz target for the XML reader: every endpoint answer goes through it, so any input must parse or
// fail cleanly, in time linear in its size, leaving a consistent tree.
//
// The bytes are read as UTF-8 (invalid sequences become U+FFFD), the way the programs turn an
// answer into text, and parsed twice: with the options every caller uses and with every option
// flipped.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/xml/xml_node.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

std::wstring DecodeUtf8(const uint8_t* data, size_t size) {
    std::wstring text;
    text.reserve(size);
    size_t i = 0;
    while (i < size) {
        const uint8_t lead = data[i];
        int extra = lead < 0x80         ? 0
                    : (lead >> 5) == 6  ? 1
                    : (lead >> 4) == 14 ? 2
                    : (lead >> 3) == 30 ? 3
                                        : -1;
        uint32_t code = extra == 0   ? lead
                        : extra == 1 ? (lead & 0x1F)
                        : extra == 2 ? (lead & 0x0F)
                                     : (lead & 0x07);
        bool valid = extra >= 0 && i + extra < size;
        for (int k = 1; valid && k <= extra; ++k) {
            valid = (data[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (data[i + k] & 0x3F);
        }
        if (!valid || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            text += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        if (sizeof(wchar_t) == 2 && code > 0xFFFF) {
            code -= 0x10000;
            text += static_cast<wchar_t>(0xD800 + (code >> 10));
            text += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        } else {
            text += static_cast<wchar_t>(code);
        }
        i += extra + 1;
    }
    return text;
}

// Parent and owner links are right, markup nodes are leaves, and nothing is deeper than allowed.
void CheckTree(const CXmlNode& node, int depth) {
    Check(depth <= kMaxXmlDepth);
    for (const auto& attribute : node.attributes) {
        Check(attribute->owner == &node);
        Check(node.FindAttribute(attribute->name) != nullptr);
    }
    for (size_t i = 0; i < node.ChildCount(); ++i) {
        const CXmlNode* child = node.ChildAt(i);
        Check(child != nullptr && child->parent == &node);
        if (child->type == XmlComment || child->type == XmlCData) {
            Check(child->ChildCount() == 0 && child->attributes.empty());
            Check(child->name == (child->type == XmlComment ? L"#COMMENT" : L"#CDATA"));
        } else {
            Check(child->type == XmlElement && !child->name.empty());
            CheckTree(*child, depth + 1);
        }
    }
    Check(node.ChildAt(node.ChildCount()) == nullptr);
}

void ParseWith(const std::wstring& text, CXmlParseContext& context) {
    CXmlNode root;
    const auto end = root.Parse(text, 0, context);
    if (end)
        Check(*end <= text.size());
    Check(context.error == (context.errorCode != XmlErrorNone));
    Check(!context.error || (!end && !context.errorMessage.empty() && context.errorPosition < text.size()));
    Check(root.parent == nullptr && root.type == XmlElement);
    CheckTree(root, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = DecodeUtf8(data, size);

    CXmlParseContext usual;
    ParseWith(text, usual);

    CXmlParseContext flipped;
    flipped.trim = true;
    flipped.force = true;
    flipped.decodeEntities = false;
    flipped.escapeCharacter = 0;
    ParseWith(text, flipped);

    // Decoding only ever shortens a text.
    Check(DecodeEntities(CXmlEntityTable::BuiltIn(), text).size() <= text.size());
    return 0;
}
