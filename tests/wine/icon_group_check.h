#pragma once

// Icon groups as the resource compiler lays them out in this executable, read back for the resource
// tests of both programs: the group directory, its images, and the check of their sizes and depths.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// One image of a group as the tests expect it: its side in pixels and its bits per pixel.
struct IconImage {
    int size;
    int bits;
};

// A resource of this executable as bytes; empty when there is none.
inline std::vector<uint8_t> ResourceBytes(LPCWSTR name, LPCWSTR type) {
    const HRSRC found = FindResourceW(nullptr, name, type);
    const auto* data =
        found ? static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found))) : nullptr;
    if (!data)
        return {};
    return std::vector<uint8_t>(data, data + SizeofResource(nullptr, found));
}

// The entries of icon group `group`, as many as its bytes hold whole.
inline std::vector<GroupIconEntry> GroupEntries(int group) {
    const std::vector<uint8_t> bytes = ResourceBytes(MAKEINTRESOURCEW(group), RT_GROUP_ICON);
    GroupIconHeader header{};
    if (bytes.size() < sizeof header)
        return {};
    std::memcpy(&header, bytes.data(), sizeof header);
    std::vector<GroupIconEntry> entries;
    for (WORD i = 0; i < header.count && sizeof header + (i + 1) * sizeof(GroupIconEntry) <= bytes.size(); ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, bytes.data() + sizeof header + i * sizeof entry, sizeof entry);
        entries.push_back(entry);
    }
    return entries;
}

// Group `group` holds exactly `images`, in that order: square entries of those sizes and depths, each
// image a PNG at 256 pixels and otherwise a DIB of twice the height (colour and mask).
inline void ExpectIconGroupLayout(int group, std::span<const IconImage> images) {
    const std::vector<uint8_t> bytes = ResourceBytes(MAKEINTRESOURCEW(group), RT_GROUP_ICON);
    ASSERT_EQ(bytes.size(), sizeof(GroupIconHeader) + images.size() * sizeof(GroupIconEntry));
    GroupIconHeader header;
    std::memcpy(&header, bytes.data(), sizeof header);
    EXPECT_EQ(header.type, 1);
    ASSERT_EQ(header.count, images.size());
    const std::vector<GroupIconEntry> entries = GroupEntries(group);
    ASSERT_EQ(entries.size(), images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(i);
        const GroupIconEntry& entry = entries[i];
        const int size = entry.width == 0 ? 256 : entry.width;
        EXPECT_EQ(size, images[i].size);
        EXPECT_EQ(entry.height, entry.width);
        EXPECT_EQ(entry.bits, images[i].bits);

        const std::vector<uint8_t> image = ResourceBytes(MAKEINTRESOURCEW(entry.id), RT_ICON);
        ASSERT_EQ(image.size(), entry.bytes);
        if (size == 256) {
            ASSERT_GE(image.size(), 8u);
            EXPECT_EQ(std::memcmp(image.data(), "\x89PNG\r\n\x1a\n", 8), 0);
            continue;
        }
        BITMAPINFOHEADER dib;
        ASSERT_GE(image.size(), sizeof dib);
        std::memcpy(&dib, image.data(), sizeof dib);
        EXPECT_EQ(dib.biWidth, size);
        EXPECT_EQ(dib.biHeight, 2 * size);
        EXPECT_EQ(dib.biBitCount, images[i].bits);
    }
}
