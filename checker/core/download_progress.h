#pragma once

#include <cstdint>
#include <optional>

// The progress bar runs from 0 to 1000.
inline constexpr int32_t kDownloadProgressRange = 1000;

// received * 1000 / total, worked out in floating point (no 32-bit overflow) and truncated, held to
// 0..1000 (a server may send more than it announced). Nothing when the length is unknown (0): the
// bar then stays where it is.
std::optional<int32_t> ProgressBarPosition(uint32_t received, uint32_t total);
