#include "tests/support/png_encoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::uint32_t BigEndian32(const std::vector<std::uint8_t>& data, std::size_t at) {
    return (std::uint32_t{data[at]} << 24) | (std::uint32_t{data[at + 1]} << 16) |
           (std::uint32_t{data[at + 2]} << 8) | data[at + 3];
}

struct Chunk {
    std::string type;
    std::vector<std::uint8_t> body;
    bool crcMatches;
};

// The chunks after the signature, as a reader walks them; stops at the first that runs past the end.
std::vector<Chunk> ReadChunks(const std::vector<std::uint8_t>& file) {
    std::vector<Chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        const std::uint32_t length = BigEndian32(file, at);
        if (at + 12 + length > file.size())
            break;
        Chunk chunk;
        chunk.type.assign(file.begin() + static_cast<std::ptrdiff_t>(at + 4),
                          file.begin() + static_cast<std::ptrdiff_t>(at + 8));
        chunk.body.assign(file.begin() + static_cast<std::ptrdiff_t>(at + 8),
                          file.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        chunk.crcMatches = PngCrc32(file.data() + at + 4, length + 4) == BigEndian32(file, at + 8 + length);
        chunks.push_back(chunk);
        at += 12 + length;
    }
    EXPECT_EQ(at, file.size()) << "bytes after the last whole chunk";
    return chunks;
}

// The data of a zlib stream made only of stored blocks; fails the test on anything else.
std::vector<std::uint8_t> InflateStored(const std::vector<std::uint8_t>& stream, int* blocks) {
    std::vector<std::uint8_t> out;
    EXPECT_GE(stream.size(), 6u);
    EXPECT_EQ((stream[0] * 256 + stream[1]) % 31, 0) << "zlib header check bits";
    EXPECT_EQ(stream[0] & 0x0F, 8) << "deflate";
    std::size_t at = 2;
    *blocks = 0;
    for (bool last = false; !last;) {
        if (at + 5 > stream.size()) {
            ADD_FAILURE() << "stream ends inside a block header";
            return out;
        }
        last = stream[at] & 1;
        EXPECT_EQ(stream[at] & 6, 0) << "stored block";
        const unsigned length = stream[at + 1] | (stream[at + 2] << 8);
        const unsigned complement = stream[at + 3] | (stream[at + 4] << 8);
        EXPECT_EQ(length ^ 0xFFFFu, complement);
        at += 5;
        if (at + length > stream.size()) {
            ADD_FAILURE() << "stored block runs past the stream";
            return out;
        }
        out.insert(out.end(), stream.begin() + static_cast<std::ptrdiff_t>(at),
                   stream.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        ++*blocks;
    }
    EXPECT_EQ(at + 4, stream.size());
    EXPECT_EQ(BigEndian32(stream, at), Adler32(out.data(), out.size()));
    return out;
}

TEST(PngEncoder, ChecksumsMatchTheirPublishedCheckValues) {
    const auto digits = Bytes("123456789");
    EXPECT_EQ(PngCrc32(digits.data(), digits.size()), 0xCBF43926u);
    EXPECT_EQ(PngCrc32(nullptr, 0), 0u);
    // Continuing a CRC over a second piece gives the CRC of the whole.
    EXPECT_EQ(PngCrc32(digits.data() + 4, 5, PngCrc32(digits.data(), 4)), 0xCBF43926u);
    const auto iend = Bytes("IEND");
    EXPECT_EQ(PngCrc32(iend.data(), iend.size()), 0xAE426082u);

    const auto wiki = Bytes("Wikipedia");
    EXPECT_EQ(Adler32(wiki.data(), wiki.size()), 0x11E60398u);
    EXPECT_EQ(Adler32(nullptr, 0), 1u);
    // Past the modulus: 6000 bytes of 0xFF wrap both sums.
    const std::vector<std::uint8_t> ones(6000, 0xFF);
    std::uint64_t a = 1, b = 0;
    for (std::uint8_t byte : ones) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(Adler32(ones.data(), ones.size()), static_cast<std::uint32_t>((b << 16) | a));
}

TEST(PngEncoder, PixelsComeBackRowByRowAsRgb) {
    // Sizes around the 65535-byte stored-block limit: one block, exactly full, and several.
    const struct {
        int width, height, blocks;
    } cases[] = {{3, 2, 1}, {1, 1, 1}, {1456, 15, 1}, {1457, 15, 2}, {200, 120, 2}, {700, 100, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        std::vector<std::uint8_t> bgrx;
        for (int i = 0; i < c.width * c.height; ++i)
            bgrx.insert(bgrx.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8),
                                     static_cast<std::uint8_t>(i * 7), 0xEE});
        const std::vector<std::uint8_t> file = EncodePng24(c.width, c.height, bgrx);
        ASSERT_GE(file.size(), 8u);
        EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 8),
                  (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));

        const std::vector<Chunk> chunks = ReadChunks(file);
        ASSERT_EQ(chunks.size(), 3u);
        EXPECT_EQ(chunks[0].type, "IHDR");
        EXPECT_EQ(chunks[1].type, "IDAT");
        EXPECT_EQ(chunks[2].type, "IEND");
        EXPECT_TRUE(chunks[2].body.empty());
        for (const Chunk& chunk : chunks)
            EXPECT_TRUE(chunk.crcMatches) << chunk.type;
        ASSERT_EQ(chunks[0].body.size(), 13u);
        EXPECT_EQ(BigEndian32(chunks[0].body, 0), static_cast<std::uint32_t>(c.width));
        EXPECT_EQ(BigEndian32(chunks[0].body, 4), static_cast<std::uint32_t>(c.height));
        EXPECT_EQ(std::vector<std::uint8_t>(chunks[0].body.begin() + 8, chunks[0].body.end()),
                  (std::vector<std::uint8_t>{8, 2, 0, 0, 0}));

        int blocks = 0;
        const std::vector<std::uint8_t> raw = InflateStored(chunks[1].body, &blocks);
        EXPECT_EQ(blocks, c.blocks);
        const std::size_t stride = 1 + 3 * static_cast<std::size_t>(c.width);
        ASSERT_EQ(raw.size(), stride * static_cast<std::size_t>(c.height));
        for (int y = 0; y < c.height; ++y) {
            ASSERT_EQ(raw[y * stride], 0) << "row " << y << " unfiltered";
            for (int x = 0; x < c.width; ++x) {
                const std::size_t pixel = (static_cast<std::size_t>(y) * c.width + x) * 4;
                const std::size_t at = y * stride + 1 + 3 * static_cast<std::size_t>(x);
                ASSERT_EQ(raw[at], bgrx[pixel + 2]);
                ASSERT_EQ(raw[at + 1], bgrx[pixel + 1]);
                ASSERT_EQ(raw[at + 2], bgrx[pixel]);
            }
        }
    }
}

TEST(PngEncoder, RefusesSizesItHasNoPixelsFor) {
    const std::vector<std::uint8_t> four(4 * 4, 0x80);
    EXPECT_TRUE(EncodePng24(0, 1, four).empty());
    EXPECT_TRUE(EncodePng24(1, 0, four).empty());
    EXPECT_TRUE(EncodePng24(-2, -2, four).empty());
    EXPECT_TRUE(EncodePng24(5, 1, four).empty());
    EXPECT_TRUE(EncodePng24(2, 3, four).empty());
    EXPECT_FALSE(EncodePng24(2, 2, four).empty());
    EXPECT_FALSE(EncodePng24(4, 1, four).empty());
}

}  // namespace
