// The checker's process against Wine: the hidden background window with its mutex and timers, the
// worker against tools/loopback-server (endpoints pointed at it through the current user's
// overrides, the pack's uninstall entry written under HKEY_LOCAL_MACHINE for the test), and the
// application's modes with recording services. Every test removes what it wrote to the registry.

#include <windows.h>

#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "checker/core/check_thread.h"
#include "checker/core/checker_instance_mutex_win.h"
#include "checker/core/checker_keys.h"
#include "checker/core/checker_state.h"
#include "checker/res/resource.h"
#include "checker/ui/qp_check_wnd.h"
#include "checker/ui/qp_chk_upd_app.h"
#include "common/http/internet_root.h"
#include "common/platform/registry_values.h"
#include "common/platform/registry_win.h"
#include "common/ui/app_module.h"
#include "tests/wine/loopback_control.h"
#include "tests/wine/test_support.h"

namespace {

const std::string kPrimaryPath = "/primary/download/version.php";
const std::string kFallbackPath = "/fallback/~qp/codec/version.php";

// The process's internet root is opened once; the first application start in this process makes
// it, before any test can open it with another agent.
class CheckerProcessEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        CAppModule::Instance().Init(nullptr, 0x0409);
        CQPChkUpdApp app(CheckerAppServices{});
        EXPECT_FALSE(app.InitInstance({L"/q"}));
        app.ExitInstance();
    }
};

[[maybe_unused]] testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new CheckerProcessEnvironment);

void RemoveCheckerFromRegistry() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kQuillpackKeyPath);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kQuillpackKeyPath);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKeyPath32);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKeyPath32);
}

int64_t Now() {
    return static_cast<int64_t>(std::time(nullptr));
}

std::optional<int64_t> StoredLoaded() {
    CWin32Registry registry;
    const auto key = registry.Open(RegistryRoot::CurrentUser, kCheckerStateKeyPath, KEY_READ);
    if (!key || !key->Read(kLoadedValue))
        return std::nullopt;
    return CCheckerState(registry).LoadedTime();
}

// Dispatches this thread's messages until the window is gone or the time is up. True when it went.
bool PumpUntilGone(HWND hwnd, DWORD timeoutMs, bool* sawQuit = nullptr) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (sawQuit)
                    *sawQuit = true;
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (!::IsWindow(hwnd))
            return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now < 50 ? end - now : 50),
                                    QS_ALLINPUT);
    }
}

// Dispatches this thread's messages for a while, as a modal dialog's loop would.
void PumpFor(DWORD milliseconds) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (::GetTickCount64() < end) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

class CheckerProcessTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(server.BaseUrl().empty())
            << "QP_LOOPBACK_URL is not set; run under tools/loopback-server";
        ASSERT_TRUE(server.Reset());
        RemoveCheckerFromRegistry();
        CWin32Registry registry;
        auto state = registry.Create(RegistryRoot::CurrentUser, kCheckerStateKeyPath, KEY_ALL_ACCESS);
        ASSERT_TRUE(state);
        ASSERT_TRUE(WriteString(*state, kServerValue, server.Url(L"/primary")));
        ASSERT_TRUE(WriteString(*state, kFallbackServerValue, server.Url(L"/fallback/~qp/")));
    }
    void TearDown() override { RemoveCheckerFromRegistry(); }

    static void WriteUninstallEntry() {
        CWin32Registry registry;
        auto key = registry.Create(RegistryRoot::LocalMachine, kUninstallKeyPath, KEY_ALL_ACCESS | KEY_WOW64_32KEY);
        ASSERT_TRUE(key);
        ASSERT_TRUE(WriteDword(*key, L"VersionMajor", 4));
        ASSERT_TRUE(WriteDword(*key, L"VersionMinor", 1));
        ASSERT_TRUE(WriteString(*key, L"VersionSpec", L"Full"));
        ASSERT_TRUE(WriteString(*key, L"DisplayVersion", L"4.1.2"));
    }

    void AnswerPrimary(const std::string& document) {
        ASSERT_TRUE(server.SetAnswer(kPrimaryPath, "text=" + QueryEncode(document)));
    }

    std::vector<std::string> Targets() {
        std::vector<std::string> targets;
        for (const LoggedRequest& request : server.Requests())
            targets.push_back(request.target.substr(0, request.target.find('?')));
        return targets;
    }

    CLoopbackControl server;
};

struct Announcement {
    int32_t offeredMajor = 0;
    std::wstring offeredDisplay;
    std::wstring installedDisplay;
    std::wstring installedSpec;
    bool dialogFlagSet = false;
    bool survivedClose = false;
};

TEST_F(CheckerProcessTest, TheHiddenWindowIsAZeroSizedToolPopupNeverShown) {
    CCheckerInstanceMutex mutex;
    CQPCheckWnd window(nullptr, nullptr, mutex);
    HWND hwnd = window.Create();
    ASSERT_TRUE(hwnd);

    wchar_t className[64] = {};
    ::GetClassNameW(hwnd, className, 64);
    EXPECT_STREQ(className, L"QuillpackUpdaterClass");
    EXPECT_EQ(GetWindowTextString(hwnd), L"Quillpack Update Check");
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_VISIBLE | WS_CHILD | WS_CAPTION));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    RECT rect{-1, -1, -1, -1};
    ASSERT_TRUE(::GetWindowRect(hwnd, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 0);
    EXPECT_EQ(rect.bottom, 0);
    EXPECT_EQ(::GetParent(hwnd), nullptr);
    EXPECT_EQ(::FindWindowW(L"QuillpackUpdaterClass", L"Quillpack Update Check"), hwnd)
        << "what \"/q\" looks for";
    EXPECT_EQ(window.Worker().TargetWindow(), hwnd);
}

TEST_F(CheckerProcessTest, ASecondCheckerFailsOnTheMutexUntilTheFirstHasGone) {
    auto firstMutex = std::make_unique<CCheckerInstanceMutex>();
    auto first = std::make_unique<CQPCheckWnd>(nullptr, nullptr, *firstMutex);
    ASSERT_TRUE(first->Create());

    // A second process's view: its own first creation of the same name finds it.
    CCheckerInstanceMutex secondMutex;
    CQPCheckWnd second(nullptr, nullptr, secondMutex);
    EXPECT_EQ(second.Create(), nullptr);
    EXPECT_FALSE(second.IsWindow());
    EXPECT_TRUE(first->IsWindow()) << "the first is unaffected";
    // The answer of the first creation holds for the life of the guard.
    EXPECT_EQ(second.Create(), nullptr);

    // The mutex is held by the guard, not by the window, and goes with the last guard holding it.
    first.reset();
    {
        CCheckerInstanceMutex thirdMutex;
        CQPCheckWnd third(nullptr, nullptr, thirdMutex);
        EXPECT_EQ(third.Create(), nullptr) << "the first guard still holds the mutex";
    }
    firstMutex.reset();
    EXPECT_EQ(second.Create(), nullptr) << "the second guard keeps its first answer and its handle";
}

TEST_F(CheckerProcessTest, TheMutexGoesWithTheLastProcessHoldingIt) {
    {
        CCheckerInstanceMutex firstMutex;
        CQPCheckWnd first(nullptr, nullptr, firstMutex);
        ASSERT_TRUE(first.Create());
    }
    CCheckerInstanceMutex laterMutex;
    CQPCheckWnd later(nullptr, nullptr, laterMutex);
    EXPECT_NE(later.Create(), nullptr);
}

TEST_F(CheckerProcessTest, ANewerVersionIsAnnouncedOnceWhileCloseIsIgnoredThenTheWindowCloses) {
    WriteUninstallEntry();
    AnswerPrimary(
        "<version mode=\"auto\" major=\"5\" minor=\"0\" display=\"5.0.1\" ratio=\"1\">"
        "<item spec=\"*\" type=\"exe\" url=\"http://dl.example/qp.exe\">Setup</item></version>");

    std::vector<Announcement> announcements;
    int closes = 0;
    CCheckerInstanceMutex mutex;
    CQPCheckWnd* self = nullptr;
    CQPCheckWnd window(
        [&](CVersionInfo& info, const std::wstring& display, const std::wstring& spec) {
            Announcement a;
            a.offeredMajor = info.major;
            a.offeredDisplay = info.display;
            a.installedDisplay = display;
            a.installedSpec = spec;
            a.dialogFlagSet = self->IsUpdateDialogOpen();
            // "/q" and the close timer's own WM_CLOSE both arrive while the dialog is up.
            CloseRunningChecker();
            ::SendMessageW(self->Hwnd(), WM_CLOSE, 0, 0);
            PumpFor(1500);
            a.survivedClose = self->IsWindow();
            announcements.push_back(a);
        },
        [&] { ++closes; }, mutex);
    self = &window;
    const int64_t before = Now();
    HWND hwnd = window.Create();
    ASSERT_TRUE(hwnd);
    ASSERT_TRUE(PumpUntilGone(hwnd, 30000));

    ASSERT_EQ(announcements.size(), 1u);
    EXPECT_EQ(announcements[0].offeredMajor, 5);
    EXPECT_EQ(announcements[0].offeredDisplay, L"5.0.1");
    EXPECT_EQ(announcements[0].installedDisplay, L"4.1.2");
    EXPECT_EQ(announcements[0].installedSpec, L"Full");
    EXPECT_TRUE(announcements[0].dialogFlagSet);
    EXPECT_TRUE(announcements[0].survivedClose);
    EXPECT_FALSE(window.IsUpdateDialogOpen());
    EXPECT_EQ(closes, 1) << "the partner step runs once the window has closed";
    EXPECT_EQ(Targets(), std::vector<std::string>{kPrimaryPath});
    const auto loaded = StoredLoaded();
    ASSERT_TRUE(loaded);
    EXPECT_GE(*loaded, before);
    EXPECT_LE(*loaded, Now());
    EXPECT_EQ(server.Requests().at(0).Header("User-Agent"), "Quillpack Updater");
}

TEST_F(CheckerProcessTest, AForgedAnnouncementIsIgnoredWhileTheWorkerRunsAndWhenItAnnouncedNothing) {
    WriteUninstallEntry();
    struct Case {
        const char* document;
        int announcements;
    } const cases[] = {
        {"<version mode=\"auto\" major=\"5\" minor=\"0\" display=\"5.0.1\" ratio=\"1\"/>", 1},
        {"<version mode=\"auto\" major=\"4\" minor=\"1\" ratio=\"1\"/>", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document);
        ASSERT_TRUE(server.Reset());
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kCheckerStateKeyPath, kLoadedValue);
        // The answer comes late, so the first forged message arrives while the worker waits for it.
        ASSERT_TRUE(server.SetAnswer(kPrimaryPath, "stall=1.5&text=" + QueryEncode(c.document)));
        int announcements = 0, closes = 0, forged = 0;
        CCheckerInstanceMutex mutex;
        CQPCheckWnd window(
            [&](CVersionInfo& info, const std::wstring&, const std::wstring&) {
                ++announcements;
                EXPECT_EQ(info.major, 5) << "only ever the fetched document";
            },
            [&] { ++closes; }, mutex);
        HWND hwnd = window.Create();
        ASSERT_TRUE(hwnd);
        for (const ULONGLONG end = ::GetTickCount64() + 30000; ::IsWindow(hwnd) && ::GetTickCount64() < end;) {
            PumpFor(50);
            if (forged == 0 && window.Worker().IsRunning() && !server.Requests().empty()) {
                ::SendMessageW(hwnd, WM_QP_NEWVERSION, 0, 0);
                ++forged;
                EXPECT_EQ(announcements, 0);
            } else if (forged == 1 && !window.Worker().IsRunning()) {
                // Queued after the worker's own message, if it sent one.
                ::PostMessageW(hwnd, WM_QP_NEWVERSION, 0, 0);
                ++forged;
            }
        }
        EXPECT_FALSE(::IsWindow(hwnd)) << "the run ended as it would have";
        EXPECT_EQ(forged, 2);
        EXPECT_EQ(announcements, c.announcements);
        EXPECT_EQ(closes, 1);
        EXPECT_EQ(Targets(), std::vector<std::string>{kPrimaryPath});
        EXPECT_TRUE(StoredLoaded()) << "the check went on to its end";
    }
}

TEST_F(CheckerProcessTest, NothingToAnnounceEndsTheRunSilentlyAfterTheFetch) {
    WriteUninstallEntry();
    struct Case {
        const char* name;
        std::string document;
    } const cases[] = {
        {"not newer", "<version mode=\"auto\" major=\"4\" minor=\"1\" ratio=\"1\"/>"},
        {"manual mode", "<version mode=\"manual\" major=\"9\" minor=\"0\" ratio=\"1\"/>"},
        {"roll-out of nobody", "<version mode=\"auto\" major=\"9\" minor=\"0\" ratio=\"0\"/>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server.Reset());
        CWin32Registry registry;
        ASSERT_TRUE(registry.Create(RegistryRoot::CurrentUser, kCheckerStateKeyPath, KEY_ALL_ACCESS)
                        ->Delete(kLoadedValue));
        AnswerPrimary(c.document);
        int announcements = 0;
        int closes = 0;
        CCheckerInstanceMutex mutex;
        CQPCheckWnd window([&](CVersionInfo&, const std::wstring&, const std::wstring&) { ++announcements; },
                           [&] { ++closes; }, mutex);
        HWND hwnd = window.Create();
        ASSERT_TRUE(hwnd);
        ASSERT_TRUE(PumpUntilGone(hwnd, 30000));
        EXPECT_EQ(announcements, 0);
        EXPECT_EQ(closes, 1);
        EXPECT_EQ(Targets(), std::vector<std::string>{kPrimaryPath});
        EXPECT_TRUE(StoredLoaded()) << "a fetched document is recorded whatever it says";
    }
}

TEST_F(CheckerProcessTest, ADocumentLoadedTodayClosesTheWindowAfterAboutFourSecondsWithoutARequest) {
    WriteUninstallEntry();
    AnswerPrimary("<version mode=\"auto\" major=\"9\" minor=\"0\" ratio=\"1\"/>");
    CWin32Registry registry;
    ASSERT_TRUE(CCheckerState(registry).SetLoadedTime(Now()));

    int announcements = 0;
    int closes = 0;
    CCheckerInstanceMutex mutex;
    CQPCheckWnd window([&](CVersionInfo&, const std::wstring&, const std::wstring&) { ++announcements; },
                       [&] { ++closes; }, mutex);
    window.SetMainWindow(true);
    const ULONGLONG start = ::GetTickCount64();
    HWND hwnd = window.Create();
    ASSERT_TRUE(hwnd);
    bool sawQuit = false;
    ASSERT_TRUE(PumpUntilGone(hwnd, 20000, &sawQuit));
    const ULONGLONG elapsed = ::GetTickCount64() - start;

    EXPECT_GE(elapsed, 3900u) << "timer 10 at 3 s, then timer 11's first tick";
    EXPECT_LT(elapsed, 8000u);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(announcements, 0);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(sawQuit) << "the main window's end ends the loop";
    EXPECT_FALSE(window.Worker().IsRunning());
}

TEST_F(CheckerProcessTest, TheWorkerStopsDuringItsFirstSecondWhenItsOwnerGoes) {
    WriteUninstallEntry();
    AnswerPrimary("<version mode=\"auto\" major=\"9\" minor=\"0\" ratio=\"1\"/>");
    ULONGLONG stopped = 0;
    {
        CCheckThread worker;
        ASSERT_TRUE(worker.Start());
        ::Sleep(200);
        EXPECT_TRUE(worker.IsRunning()) << "still in its pause";
        stopped = ::GetTickCount64();
    }
    const ULONGLONG waited = ::GetTickCount64() - stopped;
    EXPECT_LT(waited, 500u) << "the pause is cut short, not sat out";
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_FALSE(StoredLoaded());
}

TEST_F(CheckerProcessTest, TheWorkerWithoutAnUninstallEntryEndsAtOnce) {
    CCheckThread worker;
    const ULONGLONG start = ::GetTickCount64();
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(worker.Wait(5000));
    EXPECT_LT(::GetTickCount64() - start, 900u) << "no pause without the entry";
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_FALSE(StoredLoaded());
}

// The application's modes, with services that record what they are asked to do.
class CheckerAppTest : public CheckerProcessTest {
  protected:
    CheckerAppServices RecordingServices() {
        CheckerAppServices services;
        services.runInteractiveCheck = [this] { events.push_back(L"interactive"); };
        services.announce = [this](CVersionInfo&, const std::wstring&, const std::wstring&) {
            events.push_back(L"announce");
        };
        services.reportInstall = [this](const std::wstring& query) {
            events.push_back(L"report " + query);
            return true;
        };
        services.launchPartnerToast = [this] {
            events.push_back(L"partner");
            return true;
        };
        services.removeLeftoverDownloads = [this] { events.push_back(L"clean-up"); };
        services.disableBrowserEmulation = [this] {
            events.push_back(L"emulation off");
            return true;
        };
        services.instanceMutex = &appMutex;
        return services;
    }

    std::vector<std::wstring> events;
    CCheckerInstanceMutex appMutex;
};

TEST_F(CheckerAppTest, EachSwitchDoesItsOwnStepsAndOnlyTheBackgroundRunsALoop) {
    struct Case {
        std::vector<std::wstring> arguments;
        bool closesRunningChecker;
        std::vector<std::wstring> events;
    } const cases[] = {
        {{}, false, {L"clean-up", L"interactive", L"partner"}},
        {{L"/Q"}, true, {}},
        {{L"/install"}, false, {L"report nstall"}},
        {{L"x", L"/i?id=7&v=4.1"}, false, {L"report ?id=7&v=4.1"}},
        {{L"/uninstall"}, true, {L"emulation off"}},
        {{L"/sx"}, false, {L"clean-up", L"interactive", L"partner"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        events.clear();
        int closes = 0;
        CCheckerInstanceMutex runningMutex;
        CQPCheckWnd running(
            nullptr, [&] { ++closes; }, runningMutex);
        HWND hwnd = running.Create();
        ASSERT_TRUE(hwnd);

        CQPChkUpdApp app(RecordingServices());
        EXPECT_FALSE(app.InitInstance(c.arguments));
        EXPECT_EQ(app.CheckWindow(), nullptr);
        app.ExitInstance();
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(PumpUntilGone(hwnd, 1000), c.closesRunningChecker);
        EXPECT_EQ(closes, c.closesRunningChecker ? 1 : 0);
    }
}

TEST_F(CheckerAppTest, TheBackgroundModeKeepsItsWindowOrEndsAfterThePartnerStep) {
    {
        CQPChkUpdApp app(RecordingServices());
        ASSERT_TRUE(app.InitInstance({L"/S"}));
        ASSERT_NE(app.CheckWindow(), nullptr);
        EXPECT_TRUE(app.CheckWindow()->IsWindow());
        EXPECT_EQ(events, std::vector<std::wstring>{L"clean-up"});

        // Another background checker in another process now fails and only runs the partner step.
        events.clear();
        CCheckerInstanceMutex otherProcess;
        CheckerAppServices services = RecordingServices();
        services.instanceMutex = &otherProcess;
        CQPChkUpdApp second(services);
        EXPECT_FALSE(second.InitInstance({L"/s"}));
        EXPECT_EQ(events, (std::vector<std::wstring>{L"clean-up", L"partner"}));

        // Closing the first one ends its loop and runs the partner step.
        events.clear();
        HWND hwnd = app.CheckWindow()->Hwnd();
        CloseRunningChecker();
        bool sawQuit = false;
        EXPECT_TRUE(PumpUntilGone(hwnd, 2000, &sawQuit));
        EXPECT_TRUE(sawQuit);
        EXPECT_EQ(events, std::vector<std::wstring>{L"partner"});
        app.ExitInstance();
    }
    HINTERNET root = CInternetRoot::Get();
    ASSERT_TRUE(root);
    wchar_t agent[64] = {};
    DWORD size = sizeof(agent);
    ASSERT_TRUE(::InternetQueryOptionW(root, INTERNET_OPTION_USER_AGENT, agent, &size));
    EXPECT_STREQ(agent, L"Quillpack Updater");
}

}  // namespace
