#include "tests/support/png_encoder.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t kStoredBlockLimit = 65535;  // a stored block's length field is 16 bits

std::array<std::uint32_t, 256> CrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

void PutBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5], const std::vector<std::uint8_t>& body) {
    PutBigEndian32(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    PutBigEndian32(out, PngCrc32(out.data() + typeAt, out.size() - typeAt));
}

// A zlib stream of `raw` in stored blocks: header, blocks of at most 65535 bytes, Adler-32.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary, fastest
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(kStoredBlockLimit, raw.size() - at);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    PutBigEndian32(out, Adler32(raw.data(), raw.size()));
    return out;
}

}  // namespace

std::uint32_t PngCrc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
    static const std::array<std::uint32_t, 256> table = CrcTable();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t Adler32(const std::uint8_t* data, std::size_t size) {
    constexpr std::uint32_t kModulus = 65521;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % kModulus;
        b = (b + a) % kModulus;
    }
    return (b << 16) | a;
}

std::vector<std::uint8_t> EncodePng24(int width, int height, const std::vector<std::uint8_t>& bgrx) {
    if (width <= 0 || height <= 0)
        return {};
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    if (bgrx.size() / 4 / w < h)
        return {};

    std::vector<std::uint8_t> raw;
    raw.reserve(h * (1 + 3 * w));
    for (std::size_t y = 0; y < h; ++y) {
        raw.push_back(0);  // filter type None
        for (std::size_t x = 0; x < w; ++x) {
            const std::uint8_t* pixel = &bgrx[(y * w + x) * 4];
            raw.insert(raw.end(), {pixel[2], pixel[1], pixel[0]});
        }
    }

    std::vector<std::uint8_t> header;
    PutBigEndian32(header, static_cast<std::uint32_t>(width));
    PutBigEndian32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter set, no interlace

    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", StoredZlib(raw));
    PutChunk(file, "IEND", {});
    return file;
}
