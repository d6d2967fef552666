#include "checker/notification_page_layout.h"

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
    int32_t dpi;
    NotificationPageLayout expected;
};

TEST(NotificationPageLayoutTest, CentresThePageBelowTheControlsAndGrowsTheDialogInItsDpi) {
    constexpr int32_t kMax = kMaxNotificationPageSide;
    constexpr int32_t kHuge = std::numeric_limits<int32_t>::max();
    const LayoutCase cases[] = {
        {"the document's default page", 364, 125, 320, 200, 96, {22, 122, 320, 200, 210}},
        {"an odd difference truncates", 365, 125, 320, 200, 96, {22, 122, 320, 200, 210}},
        {"a page wider than the dialog", 364, 125, 500, 100, 96, {-68, 122, 500, 100, 110}},
        {"an odd negative difference truncates toward zero", 364, 125, 367, 1, 96, {-1, 122, 367, 1, 11}},
        {"no width or height still grows by ten", 364, 125, 0, 0, 96, {182, 122, 0, 0, 10}},
        {"negative sizes count as none", 364, 125, -50, -300, 96, {182, 122, 0, 0, 10}},
        {"oversized pages are held",
         364,
         125,
         kHuge,
         kHuge,
         96,
         {(364 - kMax) / 2, 122, kMax, kMax, kMax + 10}},
        // At 144 DPI the page, the three pixels above the bottom and the ten below are 1.5 times as large.
        {"the default page at 144 DPI", 546, 188, 320, 200, 144, {33, 183, 480, 300, 315}},
        {"no page at 144 DPI still grows by fifteen", 546, 188, 0, 0, 144, {273, 183, 0, 0, 15}},
        {"odd sizes round to the nearest pixel at 120 DPI",
         455,
         156,
         321,
         201,
         120,
         {27, 152, 401, 251, 264}},
        {"oversized pages are held before scaling",
         546,
         188,
         kHuge,
         kHuge,
         192,
         {(546 - 2 * kMax) / 2, 182, 2 * kMax, 2 * kMax, 2 * kMax + 20}},
        {"no DPI counts as 96", 364, 125, 320, 200, 0, {22, 122, 320, 200, 210}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LayOutNotificationPage(c.clientWidth, c.clientBottom, c.pageWidth, c.pageHeight, c.dpi),
                  c.expected);
    }
}

}  // namespace
