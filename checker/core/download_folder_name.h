#pragma once

#include <cstdint>
#include <string_view>

#include "common/random/random.h"

// Download folders are the temporary folder + this prefix + four hexadecimal characters; the clean-up
// at start-up removes whatever folder carries the prefix.
inline constexpr wchar_t kDownloadFolderPrefix[] = L"QPCHKUPD";

// The number behind a folder's name: two 15-bit draws joined into v = a * 2^15 + b, of which the top
// 16 of the 30 bits are kept (v / 16384), giving 0..65535.
uint32_t DrawDownloadFolderNumber(const Draw15& draw);

// True for a name that starts with the prefix, in any letter case (as the file system matches it).
bool IsDownloadFolderName(std::wstring_view name);
