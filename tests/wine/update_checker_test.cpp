#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/platform/registry_values.h"
#include "common/platform/registry_win.h"
#include "common/ui/app_module.h"
#include "scheduler/core/settings_win.h"
#include "scheduler/core/update_toast_ad.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/update_checker.h"
#include "tests/wine/loopback_control.h"
#include "tests/wine/registry_scratch.h"
#include "tivolan_version.h"

// Runs against tools/loopback-server (QP_LOOPBACK_URL), with the endpoints pointed at it through the
// registry overrides, and with Tivolan's version resource and string tables compiled in.

namespace {

constexpr char kPrimaryPath[] = "/primary/tivolan/version.php";
constexpr char kFallbackPath[] = "/fallback/~t/tivolan/version.php";

std::string Narrow(const std::wstring& ascii) {
    return std::string(ascii.begin(), ascii.end());
}

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// A message-only window whose posted messages the test collects.
class MessageSink {
  public:
    MessageSink() {
        m_window =
            ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~MessageSink() { ::DestroyWindow(m_window); }
    HWND Window() const { return m_window; }

    // The first posted message `id` within `milliseconds`; false when none came.
    bool WaitFor(UINT id, DWORD milliseconds, MSG& found) {
        const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
        do {
            if (::PeekMessageW(&found, m_window, id, id, PM_REMOVE))
                return true;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_POSTMESSAGE);
        } while (::GetTickCount64() < deadline);
        return false;
    }

  private:
    HWND m_window = nullptr;
};

class UpdateCheckerTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        RemoveTivolanFromRegistry();
        CAppModule::Instance().Init(nullptr, 0x409);
    }
    static void TearDownTestSuite() { RemoveTivolanFromRegistry(); }

    void SetUp() override {
        ASSERT_FALSE(server.BaseUrl().empty())
            << "QP_LOOPBACK_URL is not set; run under tools/loopback-server";
        ASSERT_TRUE(server.Reset());
        RemoveTivolanFromRegistry();
        CWin32Registry registry;
        auto key = registry.Create(RegistryRoot::CurrentUser, kSettingsKeyPath, RegistryAccess::ReadWrite);
        ASSERT_TRUE(key);
        ASSERT_TRUE(WriteString(*key, kUpdateServerValue, server.Url(L"/primary")));
        ASSERT_TRUE(WriteString(*key, kUpdateFallbackServerValue, server.Url(L"/fallback/~t/")));
        Settings().lastUpdateCheck = 0;
        ToastAdRecord() = ToastAd{};
    }
    void TearDown() override { RemoveTivolanFromRegistry(); }

    void Answer(const std::string& path, const std::string& parameters) {
        ASSERT_TRUE(server.SetAnswer(path, parameters)) << path << " " << parameters;
    }

    void AnswerDocument(const std::string& path, const std::string& utf8) {
        Answer(path, "text=" + QueryEncode(utf8));
    }

    // The query every request of this process carries.
    static std::string ExpectedQuery() {
        return "?version=" TIVOLAN_VERSION_TEXT "&lang=en&syslang=" + Narrow(SystemLanguageName());
    }

    CLoopbackControl server;
};

// The program's version and language reach the server in the query (ExpectedQuery).
TEST_F(UpdateCheckerTest, ReadsTheEndpointOverridesAndTheSystemLanguage) {
    EXPECT_EQ(ConfiguredUpdateEndpoints(),
              (UpdateEndpoints{server.Url(L"/primary"), server.Url(L"/fallback/~t/")}));
    const std::wstring system = SystemLanguageName();
    EXPECT_GE(system.size(), 2u);
    for (wchar_t c : system)
        EXPECT_TRUE(c >= L'a' && c <= L'z') << Narrow(system);
}

TEST_F(UpdateCheckerTest, APrimaryErrorSendsTheSameQueryToTheFallback) {
    Answer(kPrimaryPath, "status=500&text=broken");
    AnswerDocument(kFallbackPath, "<version current=\"1.0\"/>");
    CUpdateChecker checker;
    EXPECT_EQ(checker.Check(true), UpdateOutcome::Loaded);
    const std::vector<LoggedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, kPrimaryPath + ExpectedQuery());
    EXPECT_EQ(requests[1].target, kFallbackPath + ExpectedQuery());
}

TEST_F(UpdateCheckerTest, ABodyBeyondTheLimitIsNoAnswer) {
    // A document that would read well if it were cut at the limit.
    const std::string document = "<version current=\"9.0\"/>";
    const long copies = CHttpUpdateFetcher::kMaxBodyBytes / static_cast<long>(document.size()) + 1;
    Answer(kPrimaryPath, "text=" + QueryEncode(document) + "&repeat=" + std::to_string(copies));
    AnswerDocument(kFallbackPath, "<version current=\"3.0\"/>");
    CUpdateChecker checker;
    ASSERT_EQ(checker.Check(true), UpdateOutcome::Loaded);
    EXPECT_EQ(server.Requests().size(), 2u);
    ASSERT_TRUE(checker.Accept());
    EXPECT_EQ(checker.Info().current, L"3.0");
}

TEST_F(UpdateCheckerTest, NoAnswerFromEitherIsAFailure) {
    Answer(kPrimaryPath, "status=404&text=no");
    Answer(kFallbackPath, "status=302&location={base}/elsewhere");
    Answer("/elsewhere", "status=503&text=busy");
    CUpdateChecker checker;
    EXPECT_EQ(checker.Check(true), UpdateOutcome::Failed);
    EXPECT_FALSE(checker.Accept());
    EXPECT_EQ(Settings().lastUpdateCheck, 0);
}

TEST_F(UpdateCheckerTest, AUtf8AnswerIsAcceptedAndTheCheckRecorded) {
    AnswerDocument(kPrimaryPath,
                   reinterpret_cast<const char*>(
                       u8"<version display=\"Tivolan 99 — 새 버전 νέα\" current=\"99.0\" "
                       u8"url=\"https://dl.example/t\" mode=\"\">"
                       u8"<ad url=\"http://ads.example/$Lang/$Version\" width=\"500\"/></version>"));
    CUpdateChecker checker;
    const int64_t before = _time64(nullptr);
    ASSERT_EQ(checker.Check(true), UpdateOutcome::Loaded);
    const int64_t after = _time64(nullptr);
    ASSERT_TRUE(checker.Accept());
    EXPECT_EQ(checker.Info().display, L"Tivolan 99 \u2014 \uC0C8 \uBC84\uC804 \u03BD\u03AD\u03B1");
    EXPECT_TRUE(checker.ShouldNotify(false));
    EXPECT_TRUE(ToastAdRecord().present);
    EXPECT_EQ(ToastAdRecord().url, L"http://ads.example/en/" + Widen(TIVOLAN_VERSION_TEXT));
    EXPECT_EQ(ToastAdRecord().width, 500);
    // The check's start time went into the settings and the registry.
    EXPECT_GE(Settings().lastUpdateCheck, before);
    EXPECT_LE(Settings().lastUpdateCheck, after);
    const auto values = AllValuesOf(kSettingsKeyPath);
    ASSERT_TRUE(values.count(L"Update"));
    EXPECT_EQ(QwordOf(values.at(L"Update")), static_cast<uint64_t>(Settings().lastUpdateCheck));
}

TEST_F(UpdateCheckerTest, TheWorkerPostsItsOutcomeAndSkipsASecondCheckThatDay) {
    Answer(kPrimaryPath, "stall=1.5&text=" + QueryEncode("<version current=\"1.0\"/>"));
    MessageSink sink;
    ASSERT_TRUE(sink.Window());
    CUpdateChecker checker;
    checker.Bind(sink.Window());
    EXPECT_EQ(checker.TakeResult(), std::nullopt) << "never started";
    ASSERT_TRUE(checker.Start());
    ::Sleep(500);
    ASSERT_TRUE(checker.IsRunning());
    EXPECT_EQ(checker.TakeResult(), std::nullopt) << "nothing while the worker waits for the server";
    MSG message{};
    ASSERT_TRUE(sink.WaitFor(CUpdateChecker::kResultMessage, 20000, message));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 202));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(UpdateOutcome::Loaded));
    EXPECT_EQ(message.lParam, 0);
    // What the tray acts on: the worker's own outcome, once.
    EXPECT_EQ(checker.TakeResult(), UpdateOutcome::Loaded);
    EXPECT_EQ(checker.TakeResult(), std::nullopt);
    ASSERT_TRUE(checker.Wait(5000));
    EXPECT_EQ(server.Requests().size(), 1u);

    ASSERT_TRUE(checker.Start());
    ASSERT_TRUE(sink.WaitFor(CUpdateChecker::kResultMessage, 20000, message));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(UpdateOutcome::Skipped));
    EXPECT_EQ(checker.TakeResult(), UpdateOutcome::Skipped);
    ASSERT_TRUE(checker.Wait(5000));
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(UpdateCheckerTest, AnUnboundWorkerAsksNothingAndPostsNothing) {
    AnswerDocument(kPrimaryPath, "<version current=\"1.0\"/>");
    CUpdateChecker checker;
    ASSERT_TRUE(checker.Start());
    ASSERT_TRUE(checker.Wait(5000));
    EXPECT_TRUE(server.Requests().empty());
}

// The manual check with its message boxes answered by the test.
class ScriptedChecker : public CUpdateChecker {
  public:
    using CUpdateChecker::CUpdateChecker;

    int answer = IDOK;
    std::vector<std::pair<std::wstring, UINT>> shown;
    std::vector<std::wstring> opened;

  protected:
    int ShowMessage(const std::wstring& text, UINT flags) override {
        shown.emplace_back(text, flags);
        // The question is asked once at a time: asked again while it is up, nothing more is shown.
        if (flags == MB_OKCANCEL && !std::exchange(askedAgain, true))
            AskToUpdate();
        return answer;
    }
    bool askedAgain = false;
    void OpenAddress(const std::wstring& address) override { opened.push_back(address); }
};

TEST_F(UpdateCheckerTest, ManualCheckKeepsTheThreadsTimersRunningWhileTheServerIsSlow) {
    Answer(kPrimaryPath, "stall=1.5&text=" + QueryEncode("<version current=\"0.1\"/>"));
    // Only a thread that dispatches its messages sees its timer tick.
    static UINT ticks;
    ticks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    ASSERT_NE(timer, 0u);
    ScriptedChecker checker(nullptr);
    const ULONGLONG start = ::GetTickCount64();
    checker.RunManualCheck();
    const ULONGLONG waited = ::GetTickCount64() - start;
    ::KillTimer(nullptr, timer);
    EXPECT_GE(waited, 1400u);
    EXPECT_GE(ticks, 8u) << "ticks over " << waited << " ms";
    ASSERT_EQ(checker.shown.size(), 1u);
    EXPECT_EQ(checker.shown[0].first, L"You are already using the most recent version of Tivolan.");
    EXPECT_FALSE(checker.IsRunning());
}

TEST_F(UpdateCheckerTest, ManualCheckEndsSilentlyWhenTheProgramQuitsWhileItWaits) {
    Answer(kPrimaryPath, "stall=2&text=" + QueryEncode("<version current=\"99\"/>"));
    AnswerDocument(kFallbackPath, "<version current=\"99\"/>");
    const TIMERPROC quitOnTick = [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        ::PostQuitMessage(7);
    };
    ASSERT_NE(::SetTimer(nullptr, 0, 200, quitOnTick), 0u);
    ScriptedChecker checker(nullptr);
    checker.RunManualCheck();
    EXPECT_TRUE(checker.shown.empty()) << "no message box on the way out";
    EXPECT_FALSE(checker.IsRunning());
    EXPECT_EQ(server.Requests().size(), 1u) << "no fallback after the stop";
    MSG quit{};
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "posted again";
    EXPECT_EQ(quit.wParam, 7u);
    EXPECT_EQ(Settings().lastUpdateCheck, 0);
}

TEST_F(UpdateCheckerTest, ManualCheckOpensOnlyWebAddresses) {
    const struct {
        const char* url;
        bool opened;
    } cases[] = {
        {"https://dl.example/setup", true},
        {"file:///C:/windows/system32/calc.exe", false},
        {"C:\\windows\\system32\\calc.exe", false},
        {"\\\\share\\x.exe", false},
        {"javascript:alert(1)", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        AnswerDocument(
            kPrimaryPath,
            std::string("<version display=\"New\" current=\"99\" mode=\"skip\" url=\"") + c.url + "\"/>");
        ScriptedChecker checker(nullptr);
        checker.RunManualCheck();
        ASSERT_EQ(checker.shown.size(), 1u);
        EXPECT_EQ(
            checker.shown[0].first,
            L"A newer version is available.\nNew\n\nClick on [OK] button to check out the new version.");
        EXPECT_EQ(checker.shown[0].second, static_cast<UINT>(MB_OKCANCEL));
        EXPECT_EQ(checker.opened,
                  c.opened ? std::vector<std::wstring>{Widen(c.url)} : std::vector<std::wstring>{});
        // Once answered, it can be asked again.
        checker.AskToUpdate();
        EXPECT_EQ(checker.shown.size(), 2u);
    }
}

TEST_F(UpdateCheckerTest, DecliningAsAUserWhoMustUpdateClosesTheWindow) {
    // The program is version 1.0.0.0, which is newer than "1.0": it has more pieces.
    const struct {
        const char* restricted;
        bool closes;
    } cases[] = {{"2.0", true}, {"1.0.0.0", true}, {"1.0", false}, {"0.0.1", false}, {"", false}};
    for (const auto& c : cases) {
        const char* restricted = c.restricted;
        SCOPED_TRACE(restricted);
        MessageSink sink;
        AnswerDocument(kPrimaryPath,
                       std::string("<version current=\"999\" url=\"http://x.example/\" restricted=\"") +
                           restricted + "\"/>");
        ScriptedChecker checker(sink.Window());
        checker.answer = IDCANCEL;
        checker.RunManualCheck();
        ASSERT_EQ(checker.shown.size(), 1u);
        EXPECT_TRUE(checker.opened.empty());
        MSG message{};
        EXPECT_EQ(sink.WaitFor(WM_CLOSE, 200, message), c.closes);
    }
}

TEST_F(UpdateCheckerTest, ManualCheckReportsUpToDateAndFailures) {
    const struct {
        const char* primary;
        UINT flags;
        const wchar_t* text;
    } cases[] = {
        {"text=%3Cversion%20current%3D%220.1%22%2F%3E", MB_OK | MB_ICONINFORMATION,
         L"You are already using the most recent version of Tivolan."},
        {"text=%3Chtml%2F%3E", MB_OK | MB_ICONERROR,
         L"Update information can not be loaded.\nPlease check again later."},
        {"status=500", MB_OK | MB_ICONERROR,
         L"Update information can not be loaded.\nPlease check again later."},
    };
    Answer(kFallbackPath, "status=404");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.primary);
        Answer(kPrimaryPath, c.primary);
        ScriptedChecker checker(nullptr);
        checker.RunManualCheck();
        ASSERT_EQ(checker.shown.size(), 1u);
        EXPECT_EQ(checker.shown[0].first, c.text);
        EXPECT_EQ(checker.shown[0].second, c.flags);
        EXPECT_TRUE(checker.opened.empty());
    }
}

}  // namespace
