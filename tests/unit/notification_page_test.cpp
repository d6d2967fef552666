#include "checker/core/notification_page.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr uint32_t kPosition = BrowserWindowFlags::Position;
constexpr uint32_t kSize = BrowserWindowFlags::Size;
constexpr uint32_t kFront = BrowserWindowFlags::Foreground;
constexpr uint32_t kBars = BrowserWindowFlags::KeepInterface;

const WorkArea kFullHd{0, 0, 1920, 1040};

struct Placement {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    uint32_t flags;
};

Placement Place(const std::wstring& attributes, std::optional<WorkArea> area, int* asked = nullptr) {
    CXmlNode pop;
    const std::wstring text = L"<pop id=\"p\" url=\"http://pages.example/p\" " + attributes + L"/>";
    EXPECT_TRUE(pop.Parse(text).has_value()) << "bad test input";
    NotificationPage page;
    PlaceNotificationPage(
        pop,
        [&]() {
            if (asked)
                ++*asked;
            return area;
        },
        page);
    return Placement{page.x, page.y, page.width, page.height, page.flags};
}

struct PlacementCase {
    const char* name;
    const wchar_t* attributes;
    std::optional<WorkArea> area;
    Placement expected;
};

TEST(NotificationPagePlacement, AttributesGivePositionSizeAndFlags) {
    const PlacementCase cases[] = {
        {"bottom right, aligned to its corner",
         L"pos='3' x='-10' y='-10' width='300' height='200' align='right' valign='bottom'",
         kFullHd,
         {1610, 830, 300, 200, kPosition | kSize | kFront}},
        {"pos 0 keeps the browser's position but takes the size",
         L"pos='0' x='50' y='60' width='300' height='200'",
         kFullHd,
         {0, 0, 300, 200, kSize | kFront}},
        {"pos 10 is no position",
         L"pos='10' x='5' y='5' width='300' height='200' align='right'",
         kFullHd,
         {0, 0, 300, 200, kSize | kFront}},
        {"no pos at all", L"x='5' y='5'", kFullHd, {0, 0, 0, 0, kFront}},
        {"centred on the middle",
         L"pos='5' width='400' height='300' align='center' valign='center'",
         kFullHd,
         {760, 370, 400, 300, kPosition | kSize | kFront}},
        {"odd sizes halve toward zero",
         L"pos='5' width='301' height='201' align='center' valign='center'",
         kFullHd,
         {810, 420, 301, 201, kPosition | kSize | kFront}},
        {"alignment values in any case",
         L"pos='9' width='100' height='50' align='RIGHT' valign='Bottom'",
         kFullHd,
         {1820, -50, 100, 50, kPosition | kSize | kFront}},
        {"unknown alignment leaves the anchor",
         L"pos='1' width='100' height='50' align='left' valign='top'",
         kFullHd,
         {0, 1040, 100, 50, kPosition | kSize | kFront}},
        {"alignment needs a size",
         L"pos='3' x='-10' y='-10' align='right' valign='bottom'",
         kFullHd,
         {1910, 1030, 0, 0, kPosition | kFront}},
        {"one size missing: no size and no alignment",
         L"pos='3' width='300' height='0' align='right' valign='bottom'",
         kFullHd,
         {1920, 1040, 300, 0, kPosition | kFront}},
        {"negative size is no size", L"width='-300' height='200'", kFullHd, {0, 0, -300, 200, kFront}},
        {"work area unavailable: offsets stay as read, no position, no alignment",
         L"pos='3' x='-10' y='-10' width='300' height='200' align='right' valign='bottom'",
         std::nullopt,
         {-10, -10, 300, 200, kSize | kFront}},
        {"bars kept for ui=show in any case", L"ui='SHOW'", kFullHd, {0, 0, 0, 0, kFront | kBars}},
        {"other ui values hide the bars", L"ui='shown'", kFullHd, {0, 0, 0, 0, kFront}},
        {"numbers read like the C library",
         L"pos=' 7junk' x='+12px' y='-3.9' width='640x' height='480'",
         kFullHd,
         {12, -3, 640, 480, kPosition | kSize | kFront}},
        {"work area away from the origin",
         L"pos='5'",
         WorkArea{100, 50, 1101, 851},
         {600, 450, 0, 0, kPosition | kFront}},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Placement p = Place(c.attributes, c.area);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
        EXPECT_EQ(p.width, c.expected.width);
        EXPECT_EQ(p.height, c.expected.height);
        EXPECT_EQ(p.flags, c.expected.flags);
    }
}

TEST(NotificationPagePlacement, WorkAreaAskedOnlyForAPosition) {
    int asked = 0;
    Place(L"pos='0' width='10' height='10'", kFullHd, &asked);
    Place(L"pos='-3'", kFullHd, &asked);
    EXPECT_EQ(asked, 0);
    Place(L"pos='4'", kFullHd, &asked);
    EXPECT_EQ(asked, 1);
}

TEST(NotificationPagePlacement, EveryAnchorLikeAKeypad) {
    const WorkArea area{10, 20, 1931, 1061};  // odd spans: the middle truncates
    const int64_t left = 10, middleX = 10 + 1921 / 2, right = 1931;
    const int64_t top = 20, middleY = 20 + 1041 / 2, bottom = 1061;
    const struct {
        int32_t pos;
        int64_t x;
        int64_t y;
    } anchors[] = {
        {1, left, bottom},  {2, middleX, bottom},  {3, right, bottom},
        {4, left, middleY}, {5, middleX, middleY}, {6, right, middleY},
        {7, left, top},     {8, middleX, top},     {9, right, top},
    };
    for (const auto& a : anchors) {
        SCOPED_TRACE(a.pos);
        const std::optional<AnchorPoint> anchor = AnchorOf(area, a.pos);
        ASSERT_TRUE(anchor.has_value());
        EXPECT_EQ(anchor->x, a.x);
        EXPECT_EQ(anchor->y, a.y);
        // The same anchor reached through the attributes, with an offset added.
        const Placement p = Place(L"pos='" + std::to_wstring(a.pos) + L"' x='3' y='-4'", area);
        EXPECT_EQ(p.x, a.x + 3);
        EXPECT_EQ(p.y, a.y - 4);
        EXPECT_EQ(p.flags, kPosition | kFront);
    }
    for (const int32_t outside : {0, 10, -1, kMin, kMax})
        EXPECT_FALSE(AnchorOf(area, outside).has_value()) << outside;
}

TEST(NotificationPagePlacement, ExtremesSaturateInsteadOfOverflowing) {
    const WorkArea widest{kMin, kMin, kMax, kMax};
    const std::optional<AnchorPoint> middle = AnchorOf(widest, 5);
    ASSERT_TRUE(middle.has_value());
    EXPECT_EQ(middle->x, -1);  // INT32_MIN + (2^32 - 1) / 2
    EXPECT_EQ(middle->y, -1);

    const struct {
        const char* name;
        const wchar_t* attributes;
        WorkArea area;
        int32_t x;
        int32_t y;
    } cases[] = {
        {"largest offsets past the far corner", L"pos='3' x='2147483647' y='2147483647'", kFullHd, kMax,
         kMax},
        {"offsets beyond 32 bits read as the limit", L"pos='7' x='99999999999' y='-99999999999'", kFullHd,
         kMax, kMin},
        {"aligning the largest size from the smallest corner",
         L"pos='7' x='-2147483648' y='-2147483648' width='2147483647' height='2147483647' align='right' "
         L"valign='bottom'",
         widest, kMin, kMin},
        {"centring stays exact inside the range",
         L"pos='5' width='2147483647' height='2' align='center' valign='center'", widest, -1 - 1073741823,
         -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Placement p = Place(c.attributes, c.area);
        EXPECT_EQ(p.x, c.x);
        EXPECT_EQ(p.y, c.y);
    }
}

}  // namespace
