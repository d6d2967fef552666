#include "checker/core/pe_signature_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// A synthetic image head: DOS header, "PE\0\0" at 0x80, COFF header, optional header of the given kind
// with 16 data directories, and a section table; `mangle` spoils the head, `trailing` the file's size.
struct Image {
    bool plus = true;                         // PE32+ (else PE32)
    uint32_t headers = 0x400;                 // SizeOfHeaders
    std::vector<std::pair<uint32_t, uint32_t>> sections = {{0x400, 0x1000}, {0x1400, 0x200}};  // offset, size
    uint32_t tableOffset = 0x1800;
    uint32_t tableSize = 0x300;
    uint32_t directories = 16;
    int64_t trailing = 0;  // bytes after the table; less than 0 cuts into it
    void (*mangle)(std::vector<uint8_t>&) = nullptr;

    static constexpr uint32_t kPe = 0x80;
    uint32_t Optional() const { return kPe + 24; }
    uint32_t OptionalSize() const { return (plus ? 112 : 96) + 16 * 8; }
    uint32_t CertificateEntry() const { return Optional() + (plus ? 112 : 96) + 4 * 8; }

    std::vector<uint8_t> Head() const {
        const uint32_t tableEnd = Optional() + OptionalSize() + static_cast<uint32_t>(sections.size()) * 40;
        std::vector<uint8_t> head(std::max(headers, tableEnd), 0);
        auto put = [&](uint32_t at, uint32_t value, int size) {
            for (int i = 0; i < size; ++i)
                head[at + i] = static_cast<uint8_t>(value >> (8 * i));
        };
        put(0, 0x5A4D, 2);
        put(0x3C, kPe, 4);
        put(kPe, 0x00004550, 4);
        put(kPe + 4 + 2, static_cast<uint32_t>(sections.size()), 2);
        put(kPe + 4 + 16, OptionalSize(), 2);
        put(Optional(), plus ? 0x20B : 0x10B, 2);
        put(Optional() + 60, headers, 4);
        put(Optional() + (plus ? 108 : 92), directories, 4);
        put(CertificateEntry(), tableOffset, 4);
        put(CertificateEntry() + 4, tableSize, 4);
        for (size_t i = 0; i < sections.size(); ++i) {
            const uint32_t at = Optional() + OptionalSize() + static_cast<uint32_t>(i) * 40;
            put(at + 16, sections[i].second, 4);
            put(at + 20, sections[i].first, 4);
        }
        if (mangle)
            mangle(head);
        return head;
    }
    uint64_t FileSize() const { return uint64_t{tableOffset} + tableSize + trailing; }
};

TEST(PeSignatureLayout, CoversEveryByteButTheChecksumTheTableEntryAndTheTableSectionsInFileOrder) {
    // An installer's payload of 0x100 bytes after the last section; the second image lists its sections
    // out of file order and one of them empty.
    for (bool plus : {true, false}) {
        for (bool shuffled : {false, true}) {
            SCOPED_TRACE(testing::Message() << (plus ? "PE32+" : "PE32") << (shuffled ? ", shuffled" : ""));
            Image image;
            image.plus = plus;
            image.tableOffset = 0x1700;
            if (shuffled)
                image.sections = {{0x1400, 0x200}, {0x1600, 0}, {0x400, 0x1000}};
            const std::optional<PeSignatureLayout> layout = PeSignatureLayoutOf(image.Head(), image.FileSize());
            ASSERT_TRUE(layout);
            const uint64_t checksum = image.Optional() + 64;
            const uint64_t entry = image.CertificateEntry();
            const std::vector<ByteRange> expected = {{0, checksum},         {checksum + 4, entry - checksum - 4},
                                                     {entry + 8, 0x400 - entry - 8}, {0x400, 0x1000},
                                                     {0x1400, 0x200},       {0x1600, 0x100}};
            EXPECT_EQ(layout->hashed, expected);
            EXPECT_EQ(layout->certificateTable, (ByteRange{0x1700, 0x300}));
        }
    }
}

TEST(PeSignatureLayout, AnImageThatCouldHideUnhashedBytesIsNone) {
    const struct {
        const char* name;
        void (*change)(Image&);
    } cases[] = {
        {"bytes after the table", [](Image& i) { i.trailing = 16; }},
        {"a file shorter than the table", [](Image& i) { i.trailing = -1; }},
        {"no table", [](Image& i) { i.tableOffset = 0, i.tableSize = 0; }},
        {"a table inside the headers", [](Image& i) { i.tableOffset = 0x200, i.tableSize = 0x1600; }},
        {"a table over the last section", [](Image& i) { i.tableOffset = 0x1500, i.tableSize = 0x400; }},
        {"a gap between sections", [](Image& i) { i.sections[1].first = 0x1500; }},
        {"a section inside the headers", [](Image& i) { i.sections[0] = {0x200, 0x1200}; }},
        {"overlapping sections", [](Image& i) { i.sections[1].first = 0x1300; }},
        {"no security directory", [](Image& i) { i.directories = 4; }},
        {"a section table past the headers", [](Image& i) { i.sections.resize(40, {0x1600, 0}); }},
        {"no DOS header", [](Image& i) { i.mangle = [](std::vector<uint8_t>& h) { h[0] = 'X'; }; }},
        {"no PE signature",
         [](Image& i) { i.mangle = [](std::vector<uint8_t>& h) { h[Image::kPe] = 'N'; }; }},
        {"a head cut before its section table",
         [](Image& i) { i.mangle = [](std::vector<uint8_t>& h) { h.resize(0x100); }; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Image image;
        c.change(image);
        EXPECT_FALSE(PeSignatureLayoutOf(image.Head(), image.FileSize()));
    }
    EXPECT_FALSE(PeSignatureLayoutOf({}, 0));
}

}  // namespace
