#pragma once
// Where the update dialog puts its notification page: centred below the controls, starting three
// pixels above the client area's bottom, with the dialog made taller by the page's height and ten.
// The document gives the page's size in 96-DPI pixels; the page, the three and the ten are scaled
// to the dialog's own DPI, so a page keeps its proportions beside the controls at any scale.

#include <cstdint>

struct NotificationPageLayout {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t dialogGrowth = 0;  // pixels added to the dialog's height
    bool operator==(const NotificationPageLayout&) const = default;
};

// The largest page side taken from a version document; a bigger one would make no sense on any
// screen and could overflow the window arithmetic.
inline constexpr int32_t kMaxNotificationPageSide = 16384;

inline constexpr int32_t kBaseDpi = 96;

// The client sizes are the dialog's real pixels. Sizes below 0 count as 0 and sizes above
// kMaxNotificationPageSide as that, before scaling; a DPI below 1 counts as 96. Scaled values are
// rounded to the nearest pixel, as MulDiv does; the left edge is (client width - page width) / 2,
// truncated toward zero.
NotificationPageLayout LayOutNotificationPage(int32_t clientWidth,
                                              int32_t clientBottom,
                                              int32_t pageWidth,
                                              int32_t pageHeight,
                                              int32_t dpi);
