#pragma once

#include <cstdint>
#include <string>

// The four parts of a version as a version resource stores them in two 32-bit words.
struct VersionQuad {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t build = 0;
    uint16_t revision = 0;

    static VersionQuad FromWords(uint32_t high, uint32_t low) {
        return {static_cast<uint16_t>(high >> 16), static_cast<uint16_t>(high & 0xFFFF),
                static_cast<uint16_t>(low >> 16), static_cast<uint16_t>(low & 0xFFFF)};
    }
    bool operator==(const VersionQuad&) const = default;
};

// "1.2.3.4".
std::wstring FormatVersionQuad(const VersionQuad& v);

// The sub-block of a string value in a version resource: "\StringFileInfo\llllcccc\name" with the
// language and code page as four lower-case hexadecimal digits each.
std::wstring StringFileInfoPath(uint16_t language, uint16_t codePage, const std::wstring& valueName);
