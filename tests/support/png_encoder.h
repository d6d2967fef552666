// PNG files of captured pixels for the tests' screenshots, written by the tests themselves so that no
// host tool has to convert them afterwards. Kept free of <windows.h> so that the native unit tests
// cover it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The CRC-32 that PNG chunks carry (ISO 3309, reflected polynomial 0xEDB88320), continued from `crc`.
std::uint32_t PngCrc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);

// The Adler-32 checksum that closes a zlib stream.
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size);

// An 8-bit RGB PNG file of `width` x `height` pixels given top row first as 4-byte blue, green, red,
// unused quadruples (what GetDIBits gives for a top-down 32-bit section). The rows go unfiltered
// into stored deflate blocks: a screenshot file need not be small. Empty for a size that is not
// positive or when fewer pixels are given than the size needs.
std::vector<std::uint8_t> EncodePng24(int width, int height, const std::vector<std::uint8_t>& bgrx);
