#include "common/xml/xml_parse_context.h"

#include "common/text/format.h"

CXmlParseContext DefaultXmlParseContext;

std::wstring XmlErrorMessage(XmlErrorCode code, std::wstring_view elementName, std::wstring_view endTagName) {
    switch (code) {
        case XmlErrorEmptyTagNotClosed:
            return L"Element must be closed.";
        case XmlErrorNoEndTag:
            return FormatText(L"it must be closed with </%s>", {elementName});
        case XmlErrorMismatchedEndTag:
            return FormatText(L"'<%s> ... </%s>' is not wel-formed.", {elementName, endTagName});
        case XmlErrorAttributeSyntax:
            return FormatText(L"<%s> attribute has error", {elementName});
        case XmlErrorTooDeep:
            return FormatText(L"<%s> is nested too deeply", {elementName});
        case XmlErrorNone:
            break;
    }
    return {};
}

void CXmlParseContext::RecordError(size_t position,
                                   XmlErrorCode code,
                                   std::wstring_view elementName,
                                   std::wstring_view endTagName) {
    if (error)
        return;
    error = true;
    errorPosition = position;
    errorCode = code;
    errorMessage = XmlErrorMessage(code, elementName, endTagName);
}

void CXmlParseContext::ClearError() {
    error = false;
    errorPosition = 0;
    errorCode = XmlErrorNone;
    errorMessage.clear();
}
