#include "checker/core/pe_signature_layout.h"

#include <algorithm>

namespace {

constexpr uint16_t kPe32 = 0x10B;
constexpr uint16_t kPe32Plus = 0x20B;
constexpr uint32_t kSecurityDirectory = 4;
constexpr uint64_t kSectionHeaderSize = 40;

std::optional<uint32_t> Read(std::span<const uint8_t> bytes, uint64_t at, int size) {
    if (at > bytes.size() || bytes.size() - at < static_cast<uint64_t>(size))
        return std::nullopt;
    uint32_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= uint32_t{bytes[at + i]} << (8 * i);
    return value;
}

}  // namespace

std::optional<PeSignatureLayout> PeSignatureLayoutOf(std::span<const uint8_t> head, uint64_t fileSize) {
    if (head.size() > fileSize || Read(head, 0, 2) != 0x5A4Du)  // "MZ"
        return std::nullopt;
    const std::optional<uint32_t> pe = Read(head, 0x3C, 4);
    if (!pe || Read(head, *pe, 4) != 0x00004550u)  // "PE\0\0"
        return std::nullopt;
    const uint64_t coff = uint64_t{*pe} + 4;
    const std::optional<uint32_t> sections = Read(head, coff + 2, 2);
    const std::optional<uint32_t> optionalSize = Read(head, coff + 16, 2);
    const uint64_t optional = coff + 20;
    const std::optional<uint32_t> magic = Read(head, optional, 2);
    if (!sections || !optionalSize || !magic || (*magic != kPe32 && *magic != kPe32Plus))
        return std::nullopt;
    const uint64_t checksum = optional + 64;
    const uint64_t directoryCountAt = optional + (*magic == kPe32 ? 92 : 108);
    const uint64_t certificateEntry = directoryCountAt + 4 + kSecurityDirectory * 8;
    const std::optional<uint32_t> directoryCount = Read(head, directoryCountAt, 4);
    const std::optional<uint32_t> headersSize = Read(head, optional + 60, 4);
    const std::optional<uint32_t> tableOffset = Read(head, certificateEntry, 4);
    const std::optional<uint32_t> tableSize = Read(head, certificateEntry + 4, 4);
    if (!directoryCount || *directoryCount <= kSecurityDirectory || !headersSize || !tableOffset || !tableSize ||
        certificateEntry + 8 > optional + *optionalSize || *headersSize < certificateEntry + 8)
        return std::nullopt;

    // The table is the end of the file, so nothing can follow it unhashed.
    const ByteRange table{*tableOffset, *tableSize};
    if (table.size == 0 || table.offset < *headersSize || table.offset + table.size != fileSize)
        return std::nullopt;

    const uint64_t sectionTable = optional + *optionalSize;
    if (sectionTable + uint64_t{*sections} * kSectionHeaderSize > std::min<uint64_t>(*headersSize, head.size()))
        return std::nullopt;
    std::vector<ByteRange> raw;
    for (uint32_t i = 0; i < *sections; ++i) {
        const uint64_t at = sectionTable + i * kSectionHeaderSize;
        const uint32_t size = *Read(head, at + 16, 4);
        const uint32_t offset = *Read(head, at + 20, 4);
        if (size != 0)
            raw.push_back({offset, size});
    }
    std::sort(raw.begin(), raw.end(), [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; });

    PeSignatureLayout layout;
    layout.certificateTable = table;
    layout.hashed = {{0, checksum},
                     {checksum + 4, certificateEntry - (checksum + 4)},
                     {certificateEntry + 8, *headersSize - (certificateEntry + 8)}};
    // Sections follow the headers and each other; a gap would be data no digest covers.
    uint64_t end = *headersSize;
    for (const ByteRange& section : raw) {
        if (section.offset != end || section.offset + section.size > table.offset)
            return std::nullopt;
        layout.hashed.push_back(section);
        end = section.offset + section.size;
    }
    // What lies between the last section and the table (an installer's own payload) is covered too.
    if (table.offset > end)
        layout.hashed.push_back({end, table.offset - end});
    return layout;
}
