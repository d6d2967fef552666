#include "checker/notification_page_layout.h"

#include <algorithm>

NotificationPageLayout LayOutNotificationPage(int32_t clientWidth,
                                              int32_t clientBottom,
                                              int32_t pageWidth,
                                              int32_t pageHeight) {
    NotificationPageLayout layout;
    layout.width = std::clamp(pageWidth, int32_t{0}, kMaxNotificationPageSide);
    layout.height = std::clamp(pageHeight, int32_t{0}, kMaxNotificationPageSide);
    // Client sizes come from the system and are small, but the sums are still taken in 64 bits.
    layout.left = static_cast<int32_t>((int64_t{clientWidth} - layout.width) / 2);
    layout.top = static_cast<int32_t>(int64_t{clientBottom} - 3);
    layout.dialogGrowth = layout.height + 10;
    return layout;
}
