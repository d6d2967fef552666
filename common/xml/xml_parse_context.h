#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/xml/xml_entity_table.h"

enum XmlErrorCode : uint32_t {
    XmlErrorNone = 0,
    XmlErrorEmptyTagNotClosed = 1,
    XmlErrorNoEndTag = 2,
    XmlErrorMismatchedEndTag = 3,
    XmlErrorAttributeSyntax = 4,
    // Our own addition: a document nested deeper than kMaxXmlDepth elements is refused rather than
    // allowed to exhaust the stack.
    XmlErrorTooDeep = 5,
};

// Elements nested deeper than this fail the parse. The endpoint documents use three levels.
constexpr int kMaxXmlDepth = 256;

// Options of a parse and the record of its first error. Positions are indexes into the parsed text.
class CXmlParseContext {
  public:
    bool trim = false;
    bool decodeEntities = true;
    const CXmlEntityTable* entityTable = &CXmlEntityTable::BuiltIn();
    wchar_t escapeCharacter = L'\\';  // 0: values are copied without escape removal
    bool force = false;               // skip a mismatched end tag instead of failing

    bool error = false;
    size_t errorPosition = 0;
    XmlErrorCode errorCode = XmlErrorNone;
    std::wstring errorMessage;

    // Records the error unless one is already recorded: only the first error of a context is kept.
    void RecordError(size_t position,
                     XmlErrorCode code,
                     std::wstring_view elementName,
                     std::wstring_view endTagName = {});
    // Forgets the recorded error, so the context can report the next parse's first error.
    void ClearError();
};

// The process-wide context every caller parses with: no trimming, built-in entities, backslash
// escapes, no forcing. Not locked: its error record is informative only and nothing reads it.
extern CXmlParseContext DefaultXmlParseContext;

std::wstring XmlErrorMessage(XmlErrorCode code, std::wstring_view elementName, std::wstring_view endTagName);
