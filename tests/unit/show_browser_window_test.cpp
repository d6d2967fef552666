#include "common/browser/show_browser_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Records every call in order, the application's and its windows' in one log.
class RecordingBrowser : public IBrowserApplication {
  public:
    int failingOpens = 0;  // the first N opens fail
    std::vector<std::string> log;

    std::unique_ptr<IBrowserWindowControl> Open(const std::wstring& url) override {
        log.push_back("open");
        openedUrls.push_back(url);
        if (failingOpens > 0) {
            --failingOpens;
            return nullptr;
        }
        return std::make_unique<Window>(log);
    }
    void Sleep(uint32_t milliseconds) override { log.push_back("sleep " + std::to_string(milliseconds)); }

    std::vector<std::wstring> openedUrls;

  private:
    class Window : public IBrowserWindowControl {
      public:
        explicit Window(std::vector<std::string>& log) : m_log(log) {}
        ~Window() override { m_log.push_back("release"); }
        void SetBarsVisible(bool visible) override { m_log.push_back(visible ? "bars on" : "bars off"); }
        void SetResizable(bool resizable) override { m_log.push_back(resizable ? "resizable" : "fixed"); }
        void SetPosition(int32_t left, int32_t top) override {
            m_log.push_back("at " + std::to_string(left) + "," + std::to_string(top));
        }
        void SetSize(int32_t width, int32_t height) override {
            m_log.push_back("size " + std::to_string(width) + "x" + std::to_string(height));
        }
        void SetVisible(bool visible) override { m_log.push_back(visible ? "visible" : "hidden"); }
        void BringToForeground() override { m_log.push_back("foreground"); }
        void SetTopmost(bool topmost) override { m_log.push_back(topmost ? "topmost" : "not topmost"); }

      private:
        std::vector<std::string>& m_log;
    };
};

struct FlagCase {
    uint32_t flags;
    std::vector<std::string> calls;
};

class ShowBrowserWindowFlagTest : public ::testing::TestWithParam<FlagCase> {};

TEST_P(ShowBrowserWindowFlagTest, FlagsShapeTheWindowInOrder) {
    const FlagCase& c = GetParam();
    RecordingBrowser browser;
    EXPECT_TRUE(ShowBrowserWindow(browser, L"https://notice.example/p", 10, -20, 640, 480, c.flags));
    EXPECT_EQ(browser.log, c.calls);
    EXPECT_EQ(browser.openedUrls, (std::vector<std::wstring>{L"https://notice.example/p"}));
}

INSTANTIATE_TEST_SUITE_P(
    Flags,
    ShowBrowserWindowFlagTest,
    ::testing::Values(
        FlagCase{0, {"open", "bars off", "fixed", "visible", "release"}},
        FlagCase{3, {"open", "bars off", "fixed", "at 10,-20", "size 640x480", "visible", "release"}},
        FlagCase{1, {"open", "bars off", "fixed", "at 10,-20", "visible", "release"}},
        FlagCase{2, {"open", "bars off", "fixed", "size 640x480", "visible", "release"}},
        FlagCase{8, {"open", "visible", "release"}},
        FlagCase{4,
                 {"open", "bars off", "fixed", "visible", "foreground", "topmost", "sleep 1000",
                  "not topmost", "release"}},
        FlagCase{15,
                 {"open", "at 10,-20", "size 640x480", "visible", "foreground", "topmost", "sleep 1000",
                  "not topmost", "release"}}));

TEST(ShowBrowserWindowTest, RetriesElevenTimesWithASecondBetween) {
    RecordingBrowser late;
    late.failingOpens = 10;
    EXPECT_TRUE(ShowBrowserWindow(late, L"http://notice.example/", 0, 0, 0, 0, 8));
    std::vector<std::string> expected{"open"};
    for (int i = 0; i < 10; ++i) {
        expected.push_back("sleep 1000");
        expected.push_back("open");
    }
    expected.insert(expected.end(), {"visible", "release"});
    EXPECT_EQ(late.log, expected);

    RecordingBrowser never;
    never.failingOpens = 11;
    EXPECT_FALSE(ShowBrowserWindow(never, L"http://notice.example/", 0, 0, 0, 0, 0));
    expected.resize(21);  // eleven opens, ten pauses, nothing after the last failure
    EXPECT_EQ(never.log, expected);
}

TEST(ShowBrowserWindowTest, OnlyWebAddressesAreOpened) {
    for (const wchar_t* url : {L"file:///C:/Windows/System32/calc.exe", L"C:\\Windows\\notepad.exe",
                               L"\\\\server\\share\\run.exe", L"javascript:alert(1)", L"", L"about:blank"}) {
        RecordingBrowser browser;
        EXPECT_FALSE(ShowBrowserWindow(browser, url, 0, 0, 100, 100, 3));
        EXPECT_TRUE(browser.log.empty());
    }
}

}  // namespace
