#pragma once

#include <string>

class CXmlNode;

// One attribute as written in a start tag. An attribute written without "=" has an empty value.
struct CXmlAttribute {
    std::wstring name;
    std::wstring value;
    CXmlNode* owner = nullptr;
};
