// The toast window against Wine's user32: its styles and place, the show delay, replacement, the
// fade and the hover hold driven by its timers, the close box and the link, the full-screen rule,
// what it paints; the update link and the scheduler's adapter.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "common/ui/app_module.h"
#include "scheduler/core/update_toast_ad.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/toast_adapter.h"
#include "scheduler/ui/toast_link.h"
#include "scheduler/ui/toast_window.h"
#include "scheduler/ui/update_link.h"

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

int Scaled(HWND hwnd, int value) {
    HDC dc = ::GetDC(hwnd);
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(hwnd, dc);
    return ::MulDiv(value, dpi, 96);
}

RECT WindowRect(HWND hwnd) {
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return rect;
}

RECT ClientRect(HWND hwnd) {
    RECT rect{};
    ::GetClientRect(hwnd, &rect);
    return rect;
}

int Alpha(HWND hwnd) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!::GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
        return -1;
    return alpha;
}

void Timer(HWND hwnd, UINT_PTR id) {
    ::SendMessageW(hwnd, WM_TIMER, id, 0);
}

void Click(HWND hwnd, int x, int y) {
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

class CRecordingLink : public CToastLink {
  public:
    std::wstring Text() const override { return L"Download the update"; }
    void Click() override {
        ++clicks;
        if (onClick)
            onClick();
    }

    int clicks = 0;
    std::function<void()> onClick;
};

class ToastWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { CAppModule::Instance().Init(nullptr, kEnglish); }
    void TearDown() override {
        ToastWindow().Close();
        PumpPending();
        CAppModule::Instance().Term();
    }

    // A toast laid out and waiting for its show timer.
    HWND ShowToast(const std::wstring& message = L"Shut down in 5 minutes.", CToastLink* link = nullptr) {
        if (!ToastWindow().Show(message, L"Tivolan", 10000, IDI_APP, link))
            return nullptr;
        return ToastWindow().Hwnd();
    }
};

TEST_F(ToastWindowTest, ShowMakesAHiddenLayeredTopmostToolWindowAtTheWorkAreasCorner) {
    HWND toast = ShowToast();
    ASSERT_NE(toast, nullptr);
    wchar_t className[64] = {};
    ::GetClassNameW(toast, className, 64);
    EXPECT_STREQ(className, CToastWindow::kClassName);
    const LONG style = ::GetWindowLongW(toast, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_CHILD));
    EXPECT_FALSE(::IsWindowVisible(toast));
    const LONG exStyle = ::GetWindowLongW(toast, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_EQ(Alpha(toast), 255);

    RECT area{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    const RECT rect = WindowRect(toast);
    EXPECT_EQ(rect.right - rect.left, Scaled(toast, 336));
    EXPECT_EQ(rect.right, area.right);
    EXPECT_EQ(rect.bottom, area.bottom);
    // Title, message and margins, each at least a line high.
    EXPECT_GT(rect.bottom - rect.top, Scaled(toast, 8 + 12 + 4 + 12 + 8));
}

TEST_F(ToastWindowTest, HeightFollowsTheMeasuredText) {
    auto heightOf = [this](const std::wstring& message, CToastLink* link) {
        HWND toast = ShowToast(message, link);
        const RECT rect = WindowRect(toast);
        return rect.bottom - rect.top;
    };
    CRecordingLink link;
    const int oneLine = heightOf(L"Restart in 1 minute.", nullptr);
    const int withLink = heightOf(L"Restart in 1 minute.", &link);
    const int wrapped = heightOf(std::wstring(60, L'x').insert(0, L"A newer version is available. ") +
                                     L" and a good deal more text that cannot fit one line of 280 pixels",
                                 nullptr);
    const int threeLines = heightOf(L"one\ntwo\nthree", nullptr);
    EXPECT_GT(withLink, oneLine);
    EXPECT_GT(wrapped, oneLine);
    EXPECT_GT(threeLines, oneLine);
    // Whatever the text, the toast keeps its width.
    EXPECT_EQ(WindowRect(ToastWindow().Hwnd()).right - WindowRect(ToastWindow().Hwnd()).left,
              Scaled(ToastWindow().Hwnd(), 336));
}

TEST_F(ToastWindowTest, ASecondNoticeReplacesTheFirstAtOnce) {
    HWND first = ShowToast(L"first");
    ASSERT_NE(first, nullptr);
    Timer(first, CToastWindow::kShowTimer);
    ASSERT_TRUE(::IsWindowVisible(first));
    HWND second = ShowToast(L"second");
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_TRUE(::IsWindow(second));
    EXPECT_FALSE(::IsWindowVisible(second));
}

TEST_F(ToastWindowTest, TheShowTimerShowsItWithoutTakingTheForeground) {
    const HWND before = ::GetForegroundWindow();
    HWND toast = ShowToast();
    ASSERT_NE(toast, nullptr);
    Timer(toast, CToastWindow::kShowTimer);
    EXPECT_TRUE(::IsWindowVisible(toast));
    EXPECT_EQ(::GetForegroundWindow(), before);
    EXPECT_NE(::GetForegroundWindow(), toast);
    EXPECT_NE(::GetActiveWindow(), toast);
    // A click on it leaves the focus where it was.
    EXPECT_EQ(::SendMessageW(toast, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(toast),
                             MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
}

TEST_F(ToastWindowTest, ItAppearsHalfASecondAfterItWasLaidOut) {
    const auto start = std::chrono::steady_clock::now();
    HWND toast = ShowToast();
    ASSERT_NE(toast, nullptr);
    auto elapsed = std::chrono::milliseconds(0);
    bool sawHiddenLate = false;
    while (!::IsWindowVisible(toast) && elapsed < std::chrono::milliseconds(3000)) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpPending();
        elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (!::IsWindowVisible(toast) && elapsed >= std::chrono::milliseconds(350))
            sawHiddenLate = true;
    }
    EXPECT_TRUE(::IsWindowVisible(toast));
    EXPECT_TRUE(sawHiddenLate) << "shown after " << elapsed.count() << " ms";
    EXPECT_LT(elapsed.count(), 1500);
}

TEST_F(ToastWindowTest, AfterItsDurationItFadesInStepsOfTenAndGoes) {
    HWND toast = ShowToast();
    ASSERT_NE(toast, nullptr);
    Timer(toast, CToastWindow::kShowTimer);
    Timer(toast, CToastWindow::kHoldTimer);
    ASSERT_EQ(Alpha(toast), 255);
    for (int expected = 245; expected > 0; expected -= 10) {
        Timer(toast, CToastWindow::kFadeTimer);
        ASSERT_TRUE(::IsWindow(toast)) << expected;
        EXPECT_EQ(Alpha(toast), expected);
    }
    EXPECT_EQ(Alpha(toast), 5);
    Timer(toast, CToastWindow::kFadeTimer);
    EXPECT_FALSE(::IsWindow(toast));
    EXPECT_EQ(ToastWindow().Hwnd(), nullptr);
}

TEST_F(ToastWindowTest, HoveringMakesItOpaqueAndHoldsItLeavingRestartsTheDuration) {
    HWND toast = ShowToast();
    ASSERT_NE(toast, nullptr);
    Timer(toast, CToastWindow::kShowTimer);
    Timer(toast, CToastWindow::kHoldTimer);
    for (int i = 0; i < 3; ++i)
        Timer(toast, CToastWindow::kFadeTimer);
    ASSERT_EQ(Alpha(toast), 225);

    ::SendMessageW(toast, WM_MOUSEMOVE, 0, MAKELPARAM(100, 20));
    EXPECT_EQ(Alpha(toast), 255);
    // Held while the pointer is over it, whatever timer fires.
    for (int i = 0; i < 30; ++i) {
        Timer(toast, CToastWindow::kHoldTimer);
        Timer(toast, CToastWindow::kFadeTimer);
    }
    ASSERT_TRUE(::IsWindow(toast));
    EXPECT_EQ(Alpha(toast), 255);

    ::SendMessageW(toast, WM_MOUSELEAVE, 0, 0);
    Timer(toast, CToastWindow::kHoldTimer);
    Timer(toast, CToastWindow::kFadeTimer);
    EXPECT_EQ(Alpha(toast), 245);
}

TEST_F(ToastWindowTest, TheCloseBoxClosesItAndOtherPlacesDoNot) {
    struct ClickCase {
        const char* name;
        int fromRight;  // 96-DPI pixels from the client's right edge
        int y;
        bool closes;
    };
    const ClickCase cases[] = {
        {"close box middle", 13, 12, true},      {"close box top left", 18, 8, true},
        {"close box bottom right", 9, 15, true}, {"right of the box", 7, 12, false},
        {"below the box", 13, 17, false},        {"the icon", 336 - 20, 20, false},
        {"the title", 200, 15, false},
    };
    for (const ClickCase& c : cases) {
        HWND toast = ShowToast();
        ASSERT_NE(toast, nullptr);
        const RECT client = ClientRect(toast);
        Click(toast, client.right - Scaled(toast, c.fromRight), Scaled(toast, c.y));
        EXPECT_EQ(!::IsWindow(toast), c.closes) << c.name;
    }
}

TEST_F(ToastWindowTest, TheLinkIsClickedThenTheToastCloses) {
    CRecordingLink link;
    HWND toast = ShowToast(L"A newer version is available.\n2.0", &link);
    ASSERT_NE(toast, nullptr);
    const RECT client = ClientRect(toast);
    // The link is the last line, 8 pixels above the bottom edge.
    const int linkX = Scaled(toast, 50);
    const int linkY = client.bottom - Scaled(toast, 10);
    Click(toast, Scaled(toast, 30), linkY);  // left of the text column
    EXPECT_EQ(link.clicks, 0);
    ASSERT_TRUE(::IsWindow(toast));
    Click(toast, linkX, linkY);
    EXPECT_EQ(link.clicks, 1);
    EXPECT_FALSE(::IsWindow(toast));

    // The same place without a link is just text.
    toast = ShowToast(L"A newer version is available.\n2.0", nullptr);
    Click(toast, linkX, ClientRect(toast).bottom - Scaled(toast, 10));
    EXPECT_TRUE(::IsWindow(toast));
}

TEST_F(ToastWindowTest, ANoticeShownFromTheLinksClickStays) {
    CRecordingLink link;
    HWND replacement = nullptr;
    link.onClick = [&] { replacement = ShowToast(L"replacement"); };
    HWND toast = ShowToast(L"first", &link);
    ASSERT_NE(toast, nullptr);
    Click(toast, Scaled(toast, 50), ClientRect(toast).bottom - Scaled(toast, 10));
    EXPECT_EQ(link.clicks, 1);
    EXPECT_FALSE(::IsWindow(toast));
    ASSERT_NE(replacement, nullptr);
    EXPECT_TRUE(::IsWindow(replacement));
    EXPECT_EQ(ToastWindow().Hwnd(), replacement);
}

TEST_F(ToastWindowTest, TheHandCursorShowsOverTheLinkAndTheCloseBoxOnly) {
    CRecordingLink link;
    HWND toast = ShowToast(L"message", &link);
    ASSERT_NE(toast, nullptr);
    Timer(toast, CToastWindow::kShowTimer);
    const RECT client = ClientRect(toast);
    const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    struct CursorCase {
        POINT point;
        bool hand;
    };
    const CursorCase cases[] = {
        {{client.right - Scaled(toast, 13), Scaled(toast, 12)}, true},
        {{Scaled(toast, 50), client.bottom - Scaled(toast, 10)}, true},
        {{Scaled(toast, 20), Scaled(toast, 20)}, false},
    };
    for (const CursorCase& c : cases) {
        POINT screen = c.point;
        ::ClientToScreen(toast, &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SetCursor(nullptr);
        const LRESULT handled = ::SendMessageW(toast, WM_SETCURSOR, reinterpret_cast<WPARAM>(toast),
                                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(handled != 0 && ::GetCursor() == hand, c.hand) << c.point.x << "," << c.point.y;
    }
}

TEST_F(ToastWindowTest, CloseTakesTheToastAway) {
    HWND toast = ShowToast();
    ASSERT_NE(toast, nullptr);
    ToastWindow().Close();
    EXPECT_FALSE(::IsWindow(toast));
    EXPECT_EQ(ToastWindow().Hwnd(), nullptr);
    ToastWindow().Close();  // nothing left to close
    EXPECT_NE(ShowToast(), nullptr);
}

// A window of another thread brought to the front, as another program's would be.
class CForeignWindow {
  public:
    explicit CForeignWindow(RECT rect) : m_rect(rect) {
        m_thread = ::CreateThread(nullptr, 0, &CForeignWindow::Run, this, 0, &m_threadId);
        if (m_thread)
            ::WaitForSingleObject(m_ready, 5000);
    }
    // Moved rather than made anew for each case: Wine waits up to 2 s for a window manager to
    // confirm the end of a window it thinks managed, and there is none under Xvfb.
    void MoveTo(RECT rect) {
        ::SetWindowPos(m_hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ~CForeignWindow() {
        if (m_thread) {
            ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
            // The window's going moves the activation, which sends messages to this thread: keep
            // them flowing until the other thread has ended.
            while (::MsgWaitForMultipleObjects(1, &m_thread, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
                PumpPending();
            ::CloseHandle(m_thread);
        }
        ::CloseHandle(m_ready);
    }
    HWND Hwnd() const { return m_hwnd; }

  private:
    static DWORD WINAPI Run(void* parameter) {
        auto* self = static_cast<CForeignWindow*>(parameter);
        const RECT& r = self->m_rect;
        self->m_hwnd =
            ::CreateWindowExW(0, L"STATIC", L"foreign", WS_POPUP | WS_VISIBLE, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(self->m_hwnd);
        MSG msg;
        // The queue exists before the owner may post the quit message.
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        ::SetEvent(self->m_ready);
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageW(&msg);
        ::DestroyWindow(self->m_hwnd);
        return 0;
    }

    RECT m_rect;
    HANDLE m_ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND m_hwnd = nullptr;
    DWORD m_threadId = 0;
    HANDLE m_thread = nullptr;
};

TEST_F(ToastWindowTest, AFullScreenProgramInFrontKeepsTheToastOutOfTheTopmostBand) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    struct FrontCase {
        const char* name;
        RECT rect;
        bool topmost;
    };
    const FrontCase cases[] = {
        {"full screen", {0, 0, width, height}, false},
        {"larger than the screen", {-5, -5, width + 5, height + 5}, false},
        {"half the screen", {0, 0, width / 2, height}, true},
        {"one pixel short", {0, 0, width, height - 1}, true},
    };
    CForeignWindow front(cases[0].rect);
    ASSERT_NE(front.Hwnd(), nullptr);
    for (const FrontCase& c : cases) {
        front.MoveTo(c.rect);
        ASSERT_EQ(::GetForegroundWindow(), front.Hwnd()) << c.name;
        HWND toast = ShowToast();
        ASSERT_NE(toast, nullptr) << c.name;
        EXPECT_EQ((::GetWindowLongW(toast, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, c.topmost) << c.name;
        ToastWindow().Close();
    }
}

TEST_F(ToastWindowTest, ItPaintsBorderTextLinkAndCloseGlyph) {
    CRecordingLink link;
    HWND toast = ShowToast(L"WWWWWWWW", &link);
    ASSERT_NE(toast, nullptr);
    const RECT client = ClientRect(toast);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::SendMessageW(toast, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);

    auto countInRect = [&](RECT r, auto predicate) {
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                count += predicate(::GetPixel(dc, x, y)) ? 1 : 0;
        return count;
    };
    EXPECT_EQ(::GetPixel(dc, 0, 0), RGB(192, 192, 192));
    EXPECT_EQ(::GetPixel(dc, client.right - 1, client.bottom - 1), RGB(192, 192, 192));
    EXPECT_EQ(::GetPixel(dc, 2, client.bottom - 3), RGB(255, 255, 255));
    // The link line, in its blue.
    const RECT linkLine{Scaled(toast, 48), client.bottom - Scaled(toast, 24), client.right - Scaled(toast, 8),
                        client.bottom - Scaled(toast, 8)};
    EXPECT_GT(countInRect(linkLine, [](COLORREF c) { return c == RGB(0, 102, 204); }), 0);
    // The message in black, between the title and the link.
    const RECT text{Scaled(toast, 48), Scaled(toast, 8), client.right - Scaled(toast, 8), linkLine.top};
    EXPECT_GT(countInRect(text, [](COLORREF c) { return c == RGB(0, 0, 0); }), 0);
    // The close glyph draws something other than white or magenta in its box.
    const RECT glyph{client.right - Scaled(toast, 18), Scaled(toast, 9), client.right - Scaled(toast, 8),
                     Scaled(toast, 19)};
    EXPECT_GT(countInRect(glyph, [](COLORREF c) { return c != RGB(255, 255, 255) && c != RGB(255, 0, 255); }),
              0);
    EXPECT_EQ(countInRect(glyph, [](COLORREF c) { return c == RGB(255, 0, 255); }), 0);
    // The icon.
    const RECT icon{Scaled(toast, 8), Scaled(toast, 12), Scaled(toast, 40), Scaled(toast, 44)};
    EXPECT_GT(countInRect(icon, [](COLORREF c) { return c != RGB(255, 255, 255); }), 0);

    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

TEST_F(ToastWindowTest, TheNonClientMetricsAreReadWithTheOldStructureSize) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = 500;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 500, &metrics, 0));
    EXPECT_NE(metrics.lfCaptionFont.lfFaceName[0], L'\0');
    EXPECT_NE(metrics.lfMessageFont.lfFaceName[0], L'\0');
}

TEST_F(ToastWindowTest, TheSchedulersAdapterShowsThroughTheProcessToast) {
    CRecordingLink link;
    ToastService().Show(L"Shut down at 10:00", L"Tivolan", 10000, IDI_APP, &link);
    HWND toast = ToastWindow().Hwnd();
    ASSERT_NE(toast, nullptr);
    EXPECT_FALSE(::IsWindowVisible(toast));
    Click(toast, Scaled(toast, 50), ClientRect(toast).bottom - Scaled(toast, 10));
    EXPECT_EQ(link.clicks, 1);
}

TEST_F(ToastWindowTest, TheUpdateLinkOpensOnlyWebAddressesAndTheLatestOne) {
    std::vector<std::wstring> opened;
    CUpdateLink link([&](const std::wstring& address) { opened.push_back(address); });
    EXPECT_EQ(link.Text(), L"Download the update");
    link.Click();  // no address yet
    link.SetAddress(L"https://tivolan.example/1.0/setup.exe");
    link.SetAddress(L"https://tivolan.example/2.0/setup.exe");
    link.Click();
    link.SetAddress(L"file:///C:/Windows/System32/calc.exe");
    link.Click();
    link.SetAddress(L"C:\\Windows\\System32\\calc.exe");
    link.Click();
    EXPECT_EQ(opened, std::vector<std::wstring>{L"https://tivolan.example/2.0/setup.exe"});
    EXPECT_EQ(&UpdateLink(), &UpdateLink());
}

}  // namespace

namespace {

// The advertisement of an update answer, for one test; the record is the process's.
class ToastPageTest : public ToastWindowTest {
  protected:
    void SetUp() override {
        ToastWindowTest::SetUp();
        m_saved = ToastAdRecord();
    }
    void TearDown() override {
        ToastWindowTest::TearDown();
        ToastAdRecord() = m_saved;
    }
    static void Advertise(const std::wstring& url, int width, int height) {
        ToastAd& ad = ToastAdRecord();
        ad.present = true;
        ad.url = url;
        ad.width = width;
        ad.height = height;
        ad.cookies = {{L"http://127.0.0.1:9/", L""}};
    }

  private:
    ToastAd m_saved;
};

TEST_F(ToastPageTest, PageWaitsForItsDocumentThenLaysOutAtTheAnswersSize) {
    struct Case {
        int adWidth;
        int toastWidth;
        int pageLeft;
    };
    for (const Case& c : {Case{400, 416, 8}, Case{300, 336, 18}}) {
        Advertise(L"http://127.0.0.1:9/ad?v=1", c.adWidth, 150);
        HWND toast = ShowToast(L"Tivolan is running.");
        ASSERT_NE(toast, nullptr);
        HWND page = ::GetDlgItem(toast, 1);
        ASSERT_NE(page, nullptr) << "the page's host is a child of the toast";
        // Not laid out while the page loads: no size yet, nothing on screen.
        PumpPending();
        EXPECT_EQ(WindowRect(toast).right - WindowRect(toast).left, 0) << c.adWidth;
        EXPECT_FALSE(::IsWindowVisible(toast)) << c.adWidth;

        // Without a web engine the document never completes: the page timer lays it out.
        Timer(toast, CToastWindow::kPageTimer);
        const RECT rect = WindowRect(toast);
        EXPECT_EQ(rect.right - rect.left, Scaled(toast, c.toastWidth)) << c.adWidth;
        const RECT pageRect = WindowRect(page);
        EXPECT_EQ(pageRect.left - rect.left, Scaled(toast, c.pageLeft)) << c.adWidth;
        EXPECT_EQ(pageRect.right - pageRect.left, Scaled(toast, c.adWidth));
        EXPECT_EQ(pageRect.bottom - pageRect.top, Scaled(toast, 150));
        EXPECT_EQ(rect.bottom - pageRect.bottom, Scaled(toast, 8)) << "margin below the page";
    }
}

TEST_F(ToastPageTest, APageLargerThanTheWorkAreaIsCutSoTheToastFitsIt) {
    RECT area{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    for (const int size : {20000, 0x7fffffff}) {
        SCOPED_TRACE(size);
        Advertise(L"http://127.0.0.1:9/ad?big", size, size);
        HWND toast = ShowToast(L"Tivolan is running.");
        ASSERT_NE(toast, nullptr);
        HWND page = ::GetDlgItem(toast, 1);
        ASSERT_NE(page, nullptr);
        Timer(toast, CToastWindow::kPageTimer);
        const RECT rect = WindowRect(toast), pageRect = WindowRect(page);
        // Within a pixel or two of rounding between the toast's DPI and the layout's.
        EXPECT_GE(rect.left, area.left - 2);
        EXPECT_GE(rect.top, area.top - 2);
        EXPECT_EQ(std::pair(rect.right, rect.bottom), std::pair(area.right, area.bottom));
        EXPECT_GT(pageRect.right - pageRect.left, (area.right - area.left) / 2) << "the page keeps the room";
        EXPECT_GT(pageRect.bottom - pageRect.top, (area.bottom - area.top) / 2);
        EXPECT_LE(pageRect.right, rect.right);
        EXPECT_LE(pageRect.bottom, rect.bottom);
    }
}

TEST_F(ToastPageTest, OnlyAWebPageIsHosted) {
    for (const wchar_t* url :
         {L"file:///C:/windows/notepad.exe", L"C:\\windows\\notepad.exe", L"javascript:1"}) {
        Advertise(url, 400, 150);
        HWND toast = ShowToast();
        ASSERT_NE(toast, nullptr);
        EXPECT_EQ(::GetDlgItem(toast, 1), nullptr) << url;
        // Laid out at once, as a notice without a page.
        const RECT rect = WindowRect(toast);
        EXPECT_EQ(rect.right - rect.left, Scaled(toast, 336)) << url;
    }
}

TEST_F(ToastPageTest, APageThatNeverLoadsStillShowsWithinTenSeconds) {
    Advertise(L"http://127.0.0.1:9/ad", 400, 150);
    HWND toast = ShowToast(L"Tivolan is running.");
    ASSERT_NE(toast, nullptr);
    const auto start = std::chrono::steady_clock::now();
    while (!::IsWindowVisible(toast) && std::chrono::steady_clock::now() - start < std::chrono::seconds(12)) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        PumpPending();
    }
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    ASSERT_TRUE(::IsWindowVisible(toast));
    EXPECT_GE(waited.count(), 9500);
    EXPECT_LE(waited.count(), 11500);  // 10 s for the page, half a second before showing
    const RECT rect = WindowRect(toast);
    EXPECT_EQ(rect.right - rect.left, Scaled(toast, 416));
}

}  // namespace
