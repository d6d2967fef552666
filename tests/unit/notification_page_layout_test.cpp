#include "checker/core/notification_page_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

struct LayoutCase {
    const char* name;
    int32_t clientWidth;
    int32_t clientBottom;
    int32_t pageWidth;
    int32_t pageHeight;
    NotificationPageLayout expected;
    int32_t dpi = 96;
};

TEST(NotificationPageLayoutTest, CentresThePageBelowTheControlsAndGrowsTheDialogInItsDpi) {
    constexpr int32_t kMax = kMaxNotificationPageSide;
    constexpr int32_t kHuge = std::numeric_limits<int32_t>::max();
    const LayoutCase cases[] = {
        {"the document's default page", 364, 125, 320, 200, {22, 122, 320, 200, 210}},
        {"an odd difference truncates", 365, 125, 320, 200, {22, 122, 320, 200, 210}},
        {"a page wider than the dialog", 364, 125, 500, 100, {-68, 122, 500, 100, 110}},
        {"an odd negative difference truncates toward zero", 364, 125, 367, 1, {-1, 122, 367, 1, 11}},
        {"no width or height still grows by ten", 364, 125, 0, 0, {182, 122, 0, 0, 10}},
        {"negative sizes count as none", 364, 125, -50, -300, {182, 122, 0, 0, 10}},
        {"oversized pages are held", 364, 125, kHuge, kHuge, {(364 - kMax) / 2, 122, kMax, kMax, kMax + 10}},
        // At 144 DPI the page, the three pixels above the bottom and the ten below are 1.5 times as large.
        {"the default page at 144 DPI", 546, 188, 320, 200, {33, 183, 480, 300, 315}, 144},
        {"no page at 144 DPI still grows by fifteen", 546, 188, 0, 0, {273, 183, 0, 0, 15}, 144},
        {"120 DPI rounds to the nearest pixel", 455, 156, 321, 201, {27, 152, 401, 251, 264}, 120},
        {"held, then scaled", 546, 188, kHuge, 0, {273 - kMax, 182, 2 * kMax, 0, 20}, 192},
        {"no DPI counts as 96", 364, 125, 320, 200, {22, 122, 320, 200, 210}, 0},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LayOutNotificationPage(c.clientWidth, c.clientBottom, c.pageWidth, c.pageHeight, c.dpi),
                  c.expected);
    }
}

}  // namespace
