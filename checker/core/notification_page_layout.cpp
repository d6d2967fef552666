#include "checker/core/notification_page_layout.h"

#include <algorithm>

namespace {

// MulDiv(value, dpi, 96) for the non-negative values taken here: rounded half up.
int32_t ScaleToDpi(int32_t value, int32_t dpi) {
    return static_cast<int32_t>((int64_t{value} * dpi + kBaseDpi / 2) / kBaseDpi);
}

}  // namespace

NotificationPageLayout LayOutNotificationPage(int32_t clientWidth,
                                              int32_t clientBottom,
                                              int32_t pageWidth,
                                              int32_t pageHeight,
                                              int32_t dpi) {
    // No screen comes near the upper bound; it only keeps the sums below in range.
    dpi = dpi < 1 ? kBaseDpi : std::min(dpi, int32_t{4 * 1440});
    NotificationPageLayout layout;
    layout.width = ScaleToDpi(std::clamp(pageWidth, int32_t{0}, kMaxNotificationPageSide), dpi);
    layout.height = ScaleToDpi(std::clamp(pageHeight, int32_t{0}, kMaxNotificationPageSide), dpi);
    // Client sizes come from the system and are small, but the sums are still taken in 64 bits.
    layout.left = static_cast<int32_t>((int64_t{clientWidth} - layout.width) / 2);
    layout.top = static_cast<int32_t>(int64_t{clientBottom} - ScaleToDpi(3, dpi));
    layout.dialogGrowth = layout.height + ScaleToDpi(10, dpi);
    return layout;
}
