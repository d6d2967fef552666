// The byte-level work of the end-to-end driver and its stand-in program, kept free of <windows.h> so
// that the native unit tests cover it: numbers and window handles from the command line, hex payloads
// for WM_COPYDATA, UTF-16 and UTF-8 text, 24-bit BMP files from captured pixels, and key chords.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// A window handle as the driver prints it: hexadecimal, "0x" optional. Nothing for an empty text, a
// character that is not a hex digit, or a value beyond 64 bits.
std::optional<std::uint64_t> ParseHandle(std::wstring_view text);

// A decimal number with an optional sign, or "0x" and hexadecimal; it must fit in 64 signed bits.
std::optional<std::int64_t> ParseNumber(std::wstring_view text);

// Pairs of hex digits (either case) to bytes; nothing for an odd count or a stray character.
std::optional<std::vector<std::uint8_t>> DecodeHex(std::wstring_view text);
std::string EncodeHex(const std::uint8_t* data, std::size_t size);

// Text as little-endian UTF-16 bytes, as Windows holds it (a character beyond U+FFFF becomes a
// surrogate pair where wchar_t is 32 bits wide), without a terminator.
std::vector<std::uint8_t> Utf16Bytes(std::wstring_view text);

// The first `length` bytes of `bytes`, padded with zeros when they are fewer.
std::vector<std::uint8_t> FitPayload(std::vector<std::uint8_t> bytes, std::size_t length);

// UTF-8 of UTF-16 (Windows) or UTF-32 (Linux) text; a lone surrogate or a value beyond U+10FFFF
// becomes U+FFFD, so the output is always valid UTF-8.
std::string ToUtf8(std::wstring_view text);

// A 24-bit BMP file of `width` x `height` pixels given top row first as 4-byte blue, green, red,
// unused quadruples (what GetDIBits gives for a top-down 32-bit section). Rows are written bottom
// first and padded to 4 bytes, as the format wants. Empty for a size that is not positive or when
// fewer pixels are given than the size needs.
std::vector<std::uint8_t> EncodeBmp24(int width, int height, const std::vector<std::uint8_t>& bgrx);

// One key going down or up, by its Windows virtual-key code.
struct KeyEvent {
    std::uint16_t virtualKey = 0;
    bool up = false;

    bool operator==(const KeyEvent&) const = default;
};

// A chord such as "ctrl+shift+tab" (names in any case, joined by "+"): the modifiers ctrl, shift
// and alt, then exactly one other key, a letter, a digit or one of tab, esc, enter, space, left,
// right, up, down. The keys go down in the order written and come up in the reverse order, as a
// typist's fingers do. Nothing for an empty part, an unknown name, a repeated key, a modifier
// after the key or a chord without one.
std::optional<std::vector<KeyEvent>> ParseKeyChord(std::wstring_view text);

}  // namespace e2e
