#pragma once

// Where an Authenticode signature sits in a PE image and which bytes its digest covers: all of the file
// but the header's checksum, the certificate-table entry and the certificate table itself, the
// sections in file order. Read from the image's first bytes, so the rule is portable and the Windows
// side only hashes the ranges it is given.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct ByteRange {
    uint64_t offset = 0;
    uint64_t size = 0;

    bool operator==(const ByteRange&) const = default;
};

struct PeSignatureLayout {
    std::vector<ByteRange> hashed;  // in the order they are hashed
    ByteRange certificateTable;     // the WIN_CERTIFICATE records, at the end of the file

    bool operator==(const PeSignatureLayout&) const = default;
};

// How many of the first bytes to read for PeSignatureLayoutOf.
inline constexpr uint64_t kPeHeaderBytes = 64 * 1024;

// The signature layout of an image of `fileSize` bytes from its first bytes (up to kPeHeaderBytes).
// Nothing when the bytes are no PE image, carry no certificate table, or leave any byte outside both
// the digest and the table: a table that is not the end of the file, sections that overlap, leave
// gaps or reach into the table, headers that do not fit in what was read.
std::optional<PeSignatureLayout> PeSignatureLayoutOf(std::span<const uint8_t> head, uint64_t fileSize);
