#pragma once

// Where the toast's parts go, how its close box and link are hit and how it fades, apart from the
// window that draws it. Sizes are pixels; the text heights come from the caller, who measures with
// the real fonts.

#include <cstdint>
#include <optional>

struct ToastRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // As the platform tests a point: the left and top edges are inside, the right and bottom ones not.
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const ToastRect&) const = default;
};

enum class ToastText { Title, Message, Link };

class IToastTextMeasure {
  public:
    virtual ~IToastTextMeasure() = default;
    // The rectangle the text takes when laid out in `proposed`, as a measuring draw reports it: the
    // title and the link on one line with an ellipsis, the message wrapped at words.
    virtual ToastRect Measure(ToastText text, const ToastRect& proposed) const = 0;
};

struct ToastPageSize {
    int width = 320;
    int height = 200;
};

struct ToastLayoutInput {
    // In the layout's own pixels (96 DPI).
    ToastRect workArea;
    // The web page shown below the text, when the toast hosts one.
    std::optional<ToastPageSize> page;
    bool hasLink = false;
};

struct ToastLayout {
    int cx = 0;  // window size
    int cy = 0;
    int pageLeft = 0;  // the page's left margin; 0 without a page
    ToastRect title;
    ToastRect message;
    ToastRect link;  // empty without a link
    std::optional<ToastRect> browser;
    int x = 0;  // window position: the work area's bottom right corner
    int y = 0;
};

// The toast is at least 336 pixels wide, with the page centred in that width, else 8 pixels of
// margin either side of it. A page's size comes from a web answer or from the page itself, so it is
// clamped: at least 0, and at most what lets the whole toast fit the work area (the width less the
// margins, the height less the text and the margins), never beyond 32767.
// The message keeps at most 15 lines' height (240 pixels) of what it measures; the rest is cut.
ToastLayout LayOutToast(const ToastLayoutInput& input, const IToastTextMeasure& measure);

// The close glyph's hit area in the client rectangle.
ToastRect ToastCloseBox(const ToastRect& client);

enum class ToastHit { None, Link, CloseBox };

// What a click or the cursor at a client point is over; the link only when there is one. The hand
// cursor shows over anything but None.
ToastHit HitTestToast(const ToastRect& client, const ToastLayout& layout, bool hasLink, int x, int y);

struct ToastFadeStep {
    int alpha;
    bool destroy;
};

// One 100 ms step of the fade: 10 less opacity; the window goes at 0 or below.
ToastFadeStep NextToastFadeStep(int alpha);

// What the browser could tell of the page once its document completed.
struct ToastPageDocument {
    bool reached = false;  // the document could be had at all
    // The rendered size of the page's element "ad", when the document has one.
    std::optional<ToastPageSize> element;
};

struct ToastDocumentStep {
    bool layOut = false;
    ToastPageSize page;  // the page area to lay out with
};

// What a toast that shows a page does when the page's document completes: nothing once it is laid
// out, nor while the document cannot be reached (the page timer lays it out then). Otherwise it lays
// out now, at the size of the element "ad" when that has one, else at the size it has.
ToastDocumentStep OnToastDocumentComplete(bool laidOut,
                                          const ToastPageSize& page,
                                          const ToastPageDocument& document);

// Whether the advertisement's cookies are planted again for a notice shown at `now` (seconds since
// 1970): the first time (cookieTime 0), and then once more than 30 whole minutes have passed. A clock
// set back before the last planting counts as time passed.
bool ToastCookiesDue(int64_t cookieTime, int64_t now);
