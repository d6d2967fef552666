#include "checker/core/download_progress.h"

std::optional<int32_t> ProgressBarPosition(uint32_t received, uint32_t total) {
    if (total == 0)
        return std::nullopt;
    const double position = static_cast<double>(received) * kDownloadProgressRange / total;
    if (position >= kDownloadProgressRange)
        return kDownloadProgressRange;
    return static_cast<int32_t>(position);
}
