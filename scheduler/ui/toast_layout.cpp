#include "scheduler/ui/toast_layout.h"

#include <algorithm>

namespace {

constexpr int kMinimumWidth = 336;
constexpr int kMargin = 8;
constexpr int kTextLeft = 48;       // right of the 32-pixel icon at 8
constexpr int kTitleRightGap = 26;  // room for the close glyph
constexpr int kGap = 4;
constexpr int kLineHeight = 16;
constexpr int kLargestPage = 32767;
// Fifteen lines: more than any notice of the program needs. An update text of any length from the
// server is cut there, so the toast with its close box stays on the screen and the pointer can leave
// it (a toast it never leaves never fades).
constexpr int kLargestMessage = 15 * kLineHeight;
constexpr int kFadeStep = 10;

}  // namespace

ToastLayout LayOutToast(const ToastLayoutInput& input, const IToastTextMeasure& measure) {
    ToastLayout layout;
    std::optional<ToastPageSize> page = input.page;
    // Room for the page beside its margins; a work area too small for any leaves none.
    const int roomWidth = std::max(0, input.workArea.Width() - 2 * kMargin);
    if (page) {
        page->width = std::clamp(page->width, 0, std::min(kLargestPage, roomWidth));
        page->height = std::clamp(page->height, 0, kLargestPage);
    }

    layout.cx = kMinimumWidth;
    if (page) {
        if (page->width + 2 * kMargin <= kMinimumWidth) {
            layout.pageLeft = (kMinimumWidth - page->width) / 2;
        } else {
            layout.cx = page->width + 2 * kMargin;
            layout.pageLeft = kMargin;
        }
    }

    layout.title = measure.Measure(ToastText::Title, {kTextLeft, 8, layout.cx - kTitleRightGap, 28});
    const int messageTop = layout.title.bottom + kGap;
    layout.message = measure.Measure(ToastText::Message,
                                     {kTextLeft, messageTop, layout.cx - kMargin, messageTop + kLineHeight});
    layout.message.bottom = std::min(layout.message.bottom, messageTop + kLargestMessage);
    int y = layout.message.bottom;
    if (input.hasLink) {
        const int linkTop = layout.message.bottom + kGap;
        layout.link = measure.Measure(ToastText::Link,
                                      {kTextLeft, linkTop, layout.cx - kMargin, linkTop + kLineHeight});
        y = layout.link.bottom;
    }

    if (page) {
        const int pageTop = y + kMargin;
        // The page takes at most the height the text leaves on the work area.
        page->height = std::min(page->height, std::max(0, input.workArea.Height() - pageTop - kMargin));
        layout.browser =
            ToastRect{layout.pageLeft, pageTop, layout.pageLeft + page->width, pageTop + page->height};
        layout.cy = pageTop + page->height + kMargin;
    } else {
        layout.cy = y + kMargin;
    }
    layout.x = input.workArea.right - layout.cx;
    layout.y = input.workArea.bottom - layout.cy;
    return layout;
}

ToastRect ToastCloseBox(const ToastRect& client) {
    return {client.right - 18, client.top + 8, client.right - 8, client.top + 16};
}

ToastHit HitTestToast(const ToastRect& client, const ToastLayout& layout, bool hasLink, int x, int y) {
    if (hasLink && layout.link.Contains(x, y))
        return ToastHit::Link;
    if (ToastCloseBox(client).Contains(x, y))
        return ToastHit::CloseBox;
    return ToastHit::None;
}

ToastFadeStep NextToastFadeStep(int alpha) {
    const int next = alpha - kFadeStep;
    return {next, next <= 0};
}

ToastDocumentStep OnToastDocumentComplete(bool laidOut,
                                          const ToastPageSize& page,
                                          const ToastPageDocument& document) {
    if (laidOut || !document.reached)
        return {false, page};
    // An element not rendered (no width or no height) gives no size of its own.
    if (document.element && document.element->width > 0 && document.element->height > 0)
        return {true, *document.element};
    return {true, page};
}

bool ToastCookiesDue(int64_t cookieTime, int64_t now) {
    constexpr int64_t kIntervalMinutes = 30;
    return cookieTime == 0 || now < cookieTime || (now - cookieTime) / 60 > kIntervalMinutes;
}
