#include "scheduler/ui/toast_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <tuple>
#include <vector>

#include "scheduler/ui/full_screen_check.h"

namespace {

// Measures as a drawing call would: the proposed rectangle with the text's height, recording what
// it was asked.
class FakeMeasure : public IToastTextMeasure {
  public:
    std::map<ToastText, int> heights{{ToastText::Title, 19}, {ToastText::Message, 39}, {ToastText::Link, 13}};
    mutable std::map<ToastText, ToastRect> proposed;

    ToastRect Measure(ToastText text, const ToastRect& rect) const override {
        proposed[text] = rect;
        return {rect.left, rect.top, rect.right, rect.top + heights.at(text)};
    }
};

const ToastRect kWorkArea{0, 0, 1280, 760};

TEST(ToastLayout, PageWidthDecidesWidthAndMargin) {
    struct Case {
        int pageWidth;
        int cx;
        int pageLeft;
    };
    const Case cases[] = {
        {400, 416, 8}, {300, 336, 18}, {320, 336, 8}, {321, 337, 8},
        {319, 336, 8}, {0, 336, 168},  {1, 336, 167},
    };
    const FakeMeasure measure;
    for (const Case& c : cases) {
        const ToastLayout layout = LayOutToast({kWorkArea, ToastPageSize{c.pageWidth, 200}, false}, measure);
        EXPECT_EQ(layout.cx, c.cx) << c.pageWidth;
        EXPECT_EQ(layout.pageLeft, c.pageLeft) << c.pageWidth;
        ASSERT_TRUE(layout.browser.has_value());
        EXPECT_EQ(layout.browser->left, c.pageLeft);
        EXPECT_EQ(layout.browser->Width(), c.pageWidth);
        EXPECT_EQ(layout.x, 1280 - c.cx);
    }
}

TEST(ToastLayout, NoticeWithoutPageTakesItsHeightFromTheText) {
    FakeMeasure measure;
    const ToastLayout layout = LayOutToast({{0, 0, 1024, 738}, std::nullopt, false}, measure);
    EXPECT_EQ(layout.cx, 336);
    EXPECT_EQ(layout.pageLeft, 0);
    EXPECT_FALSE(layout.browser.has_value());
    EXPECT_EQ(measure.proposed.at(ToastText::Title), (ToastRect{48, 8, 310, 28}));
    EXPECT_EQ(layout.title, (ToastRect{48, 8, 310, 27}));
    EXPECT_EQ(measure.proposed.at(ToastText::Message), (ToastRect{48, 31, 328, 47}));
    EXPECT_EQ(layout.message, (ToastRect{48, 31, 328, 70}));
    EXPECT_EQ(measure.proposed.count(ToastText::Link), 0u);
    EXPECT_EQ(layout.cy, 78);
    EXPECT_EQ(layout.x, 1024 - 336);
    EXPECT_EQ(layout.y, 738 - 78);

    // A longer message makes a taller toast that still ends at the work area's bottom.
    measure.heights[ToastText::Message] = 96;
    const ToastLayout taller = LayOutToast({{100, 50, 1124, 788}, std::nullopt, false}, measure);
    EXPECT_EQ(taller.cy, 31 + 96 + 8);
    EXPECT_EQ(taller.y + taller.cy, 788);
    EXPECT_EQ(taller.x + taller.cx, 1124);
}

TEST(ToastLayout, AnEndlessMessageIsCutSoTheCloseBoxStaysOnTheScreen) {
    // An update text of 20,000 characters: the toast once grew far past the screen's top.
    FakeMeasure measure;
    measure.heights[ToastText::Message] = 6400;
    const std::tuple<bool, std::optional<ToastPageSize>, int> cases[] = {
        {false, std::nullopt, 271 + 8}, {true, std::nullopt, 288 + 8}, {true, ToastPageSize{320, 200}, 504}};
    for (const auto& [hasLink, page, cy] : cases) {
        const ToastLayout layout = LayOutToast({{0, 0, 1366, 728}, page, hasLink}, measure);
        EXPECT_EQ(std::tuple(layout.message, layout.cy, layout.link.top),
                  std::tuple(ToastRect{48, 31, 328, 31 + 240}, cy, hasLink ? 275 : 0));
    }
}

TEST(ToastLayout, LinkAndPageStackBelowTheMessage) {
    FakeMeasure measure;
    const ToastLayout layout = LayOutToast({kWorkArea, ToastPageSize{400, 250}, true}, measure);
    EXPECT_EQ(measure.proposed.at(ToastText::Title), (ToastRect{48, 8, 390, 28}));
    EXPECT_EQ(measure.proposed.at(ToastText::Link), (ToastRect{48, 74, 408, 90}));
    EXPECT_EQ(layout.link, (ToastRect{48, 74, 408, 87}));
    EXPECT_EQ(layout.browser, (ToastRect{8, 95, 408, 345}));
    EXPECT_EQ(layout.cy, 87 + 8 + 250 + 8);
    EXPECT_EQ(layout.y, 760 - layout.cy);
}

TEST(ToastLayout, PageSizesAreClampedSoTheToastFitsTheWorkArea) {
    const FakeMeasure measure;
    // With a link the text ends at 87 (title 19, message 39, link 13): the page starts at 95.
    const std::tuple<ToastRect, ToastPageSize, ToastPageSize> cases[] = {
        {kWorkArea, {400, 250}, {400, 250}},
        {kWorkArea, {1264, 657}, {1264, 657}},  // exactly the work area
        {kWorkArea, {1265, 658}, {1264, 657}},
        {kWorkArea, {INT_MAX, INT_MAX}, {1264, 657}},
        {kWorkArea, {-5, -7}, {0, 0}},
        {kWorkArea, {INT_MIN, 200}, {0, 200}},
        {{100, 40, 900, 640}, {5000, 5000}, {784, 497}},  // a work area away from the origin
        {{0, 0, 300, 90}, {400, 300}, {284, 0}},          // too small for any page height
        {{0, 0, 0, 0}, {320, 200}, {0, 0}},               // no work area known
        {{0, 0, 40000, 40000}, {INT_MAX, INT_MAX}, {32767, 32767}},
    };
    for (const auto& [area, page, fitted] : cases) {
        SCOPED_TRACE(testing::Message() << page.width << " x " << page.height << " on " << area.Width()
                                        << " x " << area.Height());
        const ToastLayout layout = LayOutToast({area, page, true}, measure);
        ASSERT_TRUE(layout.browser.has_value());
        EXPECT_EQ(std::tuple(layout.browser->Width(), layout.browser->Height(), layout.browser->top,
                             layout.cx, layout.cy, layout.x + layout.cx, layout.y + layout.cy),
                  std::tuple(fitted.width, fitted.height, 95, std::max(336, fitted.width + 16),
                             95 + fitted.height + 8, area.right, area.bottom));
    }
}

TEST(ToastHitTest, LinkThenCloseBox) {
    const FakeMeasure measure;
    const ToastLayout layout = LayOutToast({kWorkArea, std::nullopt, true}, measure);
    const ToastRect client{0, 0, layout.cx, layout.cy};
    EXPECT_EQ(ToastCloseBox(client), (ToastRect{318, 8, 328, 16}));
    struct Case {
        bool hasLink;
        int x;
        int y;
        ToastHit hit;
    };
    const Case cases[] = {
        {true, 318, 8, ToastHit::CloseBox},
        {true, 327, 15, ToastHit::CloseBox},
        {true, 328, 10, ToastHit::None},
        {true, 320, 16, ToastHit::None},
        {true, 317, 10, ToastHit::None},
        {true, 48, layout.link.top, ToastHit::Link},
        {true, layout.link.right - 1, layout.link.bottom - 1, ToastHit::Link},
        {true, 47, layout.link.top, ToastHit::None},
        {false, 48, layout.link.top, ToastHit::None},
        {true, 60, 12, ToastHit::None},  // the title
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTestToast(client, layout, c.hasLink, c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(ToastFade, TenLessEachStepUntilGone) {
    int alpha = 255;
    int steps = 0;
    for (;;) {
        const ToastFadeStep step = NextToastFadeStep(alpha);
        ++steps;
        if (step.destroy) {
            EXPECT_LE(step.alpha, 0);
            break;
        }
        EXPECT_EQ(step.alpha, alpha - 10);
        EXPECT_GT(step.alpha, 0);
        alpha = step.alpha;
        ASSERT_LT(steps, 100);
    }
    EXPECT_EQ(alpha, 5);
    EXPECT_EQ(steps, 26);
    EXPECT_TRUE(NextToastFadeStep(10).destroy);
    EXPECT_FALSE(NextToastFadeStep(11).destroy);
}

TEST(FullScreenCheck, OnlyAForeignWindowCoveringTheScreen) {
    const ForegroundWindowInfo game{true, true, false, L"GameWindow", {0, 0, 1920, 1080}};
    struct Case {
        ForegroundWindowInfo window;
        bool fullScreen;
    };
    const auto with = [&](auto change) {
        ForegroundWindowInfo window = game;
        change(window);
        return window;
    };
    const Case cases[] = {
        {game, true},
        {with([](auto& w) {
             w.clientOnScreen = {-8, -8, 1928, 1088};
         }),
         true},
        {with([](auto& w) {
             w.clientOnScreen = {1, 0, 1920, 1080};
         }),
         false},
        {with([](auto& w) {
             w.clientOnScreen = {0, 1, 1920, 1080};
         }),
         false},
        {with([](auto& w) {
             w.clientOnScreen = {0, 0, 1919, 1080};
         }),
         false},
        {with([](auto& w) {
             w.clientOnScreen = {0, 0, 1920, 1079};
         }),
         false},
        {with([](auto& w) { w.exists = false; }), false},
        {with([](auto& w) { w.visible = false; }), false},
        {with([](auto& w) { w.ownThread = true; }), false},
        {with([](auto& w) { w.className = L"Progman"; }), false},
        {with([](auto& w) { w.className = L"WorkerW"; }), false},
        {with([](auto& w) { w.className = L"progman"; }), true},
        {with([](auto& w) { w.className = L"WorkerWx"; }), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsFullScreenInFront(c.window, 1920, 1080), c.fullScreen)
            << testing::PrintToString(c.window.className) << " " << c.window.clientOnScreen.left << ","
            << c.window.clientOnScreen.top << "," << c.window.clientOnScreen.right << ","
            << c.window.clientOnScreen.bottom;
}

}  // namespace

TEST(ToastCookies, PlantedFirstThenAfterMoreThanThirtyWholeMinutes) {
    constexpr int64_t t = 1'800'000'000;
    struct Case {
        int64_t cookieTime;
        int64_t now;
        bool due;
    };
    const Case cases[] = {
        {0, t, true},                 // never planted
        {t, t, false},                // the same notice moment
        {t, t + 30 * 60, false},      // 30 minutes: not more than 30
        {t, t + 31 * 60 - 1, false},  // still 30 whole minutes
        {t, t + 31 * 60, true},       // 31 whole minutes
        {t, t - 1, true},             // clock set back
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToastCookiesDue(c.cookieTime, c.now), c.due) << c.cookieTime << " " << c.now;
}

TEST(ToastDocumentComplete, LaysOutOnlyWithTheDocumentAndOnlyOnce) {
    const ToastPageSize answer{400, 250}, element{280, 90};
    const struct { const char* name; bool laidOut; ToastPageDocument doc; bool layOut; ToastPageSize page; }
        cases[] = {
            {"no document: the page timer lays out", false, {false, std::nullopt}, false, answer},
            {"no document, even with a size", false, {false, element}, false, answer},
            {"no element: the answer's size", false, {true, std::nullopt}, true, answer},
            {"the element's size", false, {true, element}, true, element},
            {"an element without width", false, {true, ToastPageSize{0, 90}}, true, answer},
            {"an element without height", false, {true, ToastPageSize{280, 0}}, true, answer},
            {"already laid out", true, {true, element}, false, answer},
            {"already laid out, no document", true, {false, std::nullopt}, false, answer},
        };
    for (const auto& c : cases) {
        const ToastDocumentStep step = OnToastDocumentComplete(c.laidOut, answer, c.doc);
        EXPECT_EQ(std::tuple(step.layOut, step.page.width, step.page.height),
                  std::tuple(c.layOut, c.page.width, c.page.height))
            << c.name;
    }
}
