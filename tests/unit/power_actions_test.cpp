#include "scheduler/core/power_actions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "scheduler/core/os_version.h"
#include "scheduler/core/power_action.h"

namespace {

PlatformHandle Fake(uintptr_t value) {
    return reinterpret_cast<PlatformHandle>(value);
}

const PlatformHandle kToken = Fake(0x70);
const PlatformHandle kProcess = Fake(0x90);
const PlatformWindow kTaskbar = Fake(0xB0);
const PlatformWindow kTray = Fake(0xC0);

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::string Name(PlatformHandle handle) {
    if (handle == kToken)
        return "token";
    if (handle == kProcess)
        return "process";
    if (handle == kTaskbar)
        return "taskbar";
    if (handle == kTray)
        return "tray";
    return handle ? "other" : "null";
}

std::string Hex(uint64_t value) {
    char text[24];
    snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

// Records every call with its arguments; each answer can be set.
class RecordingPowerPlatform : public IPowerPlatform {
  public:
    PlatformHandle OpenProcessToken(uint32_t access) override {
        Record("OpenProcessToken(" + Hex(access) + ")");
        return tokenOpens ? kToken : nullptr;
    }
    std::optional<PrivilegeId> LookupPrivilege(const std::wstring& name) override {
        Record("LookupPrivilege(" + Narrow(name) + ")");
        return lookupWorks ? std::optional<PrivilegeId>(PrivilegeId{19, 0}) : std::nullopt;
    }
    bool AdjustTokenPrivilege(PlatformHandle token, PrivilegeId privilege, uint32_t attributes) override {
        Record("AdjustTokenPrivilege(" + Name(token) + "," + std::to_string(privilege.lowPart) + ":" +
               std::to_string(privilege.highPart) + "," + Hex(attributes) + ")");
        return adjustReturns;
    }
    uint32_t LastError() override {
        Record("LastError");
        return lastError;
    }
    void CloseHandle(PlatformHandle handle) override { Record("CloseHandle(" + Name(handle) + ")"); }
    bool ExitWindowsEx(uint32_t flags, uint32_t reason) override {
        Record("ExitWindowsEx(" + Hex(flags) + "," + std::to_string(reason) + ")");
        return requestWorks;
    }
    bool SetSuspendState(bool hibernate, bool forceCritical, bool disableWakeEvent) override {
        Record("SetSuspendState(" + std::to_string(hibernate) + "," + std::to_string(forceCritical) + "," +
               std::to_string(disableWakeEvent) + ")");
        return requestWorks;
    }
    bool LockWorkStation() override {
        Record("LockWorkStation");
        return requestWorks;
    }
    intptr_t SendWindowMessage(PlatformWindow window,
                               uint32_t message,
                               uintptr_t wParam,
                               intptr_t lParam) override {
        Record("SendWindowMessage(" + Name(window) + "," + Hex(message) + "," + Hex(wParam) + "," +
               std::to_string(lParam) + ")");
        return 0;
    }
    bool IsSuspendAllowed() override { return suspendAllowed; }
    bool IsHibernateAllowed() override { return hibernateAllowed; }
    PlatformWindow FindTopLevelWindow(const std::wstring& className, const std::wstring& title) override {
        Record("FindTopLevelWindow(" + Narrow(className) + ",\"" + Narrow(title) + "\")");
        return taskbarExists ? kTaskbar : nullptr;
    }
    uint32_t WindowProcessId(PlatformWindow window) override {
        Record("WindowProcessId(" + Name(window) + ")");
        return taskbarProcessId;
    }
    PlatformHandle OpenProcess(uint32_t access, uint32_t processId) override {
        Record("OpenProcess(" + Hex(access) + "," + std::to_string(processId) + ")");
        return processOpens ? kProcess : nullptr;
    }
    bool TerminateProcess(PlatformHandle process, uint32_t exitCode) override {
        Record("TerminateProcess(" + Name(process) + "," + std::to_string(exitCode) + ")");
        return terminateWorks;
    }

    std::vector<std::string> calls;
    bool tokenOpens = true;
    bool lookupWorks = true;
    bool adjustReturns = true;
    uint32_t lastError = 0;
    bool requestWorks = true;
    bool suspendAllowed = false;
    bool hibernateAllowed = false;
    bool taskbarExists = true;
    uint32_t taskbarProcessId = 1234;
    bool processOpens = true;
    bool terminateWorks = true;

  private:
    void Record(std::string call) { calls.push_back(std::move(call)); }
};

using Calls = std::vector<std::string>;

const Calls kPrivilege = {"OpenProcessToken(0x28)", "LookupPrivilege(SeShutdownPrivilege)",
                          "AdjustTokenPrivilege(token,19:0,0x2)", "LastError", "CloseHandle(token)"};

Calls Then(Calls first, const Calls& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class PowerActionsTest : public ::testing::Test {
  protected:
    bool Perform(int32_t action, PlatformWindow window = kTray, bool forceIfHung = false) {
        return CPowerActions(platform, osVersionClass).PerformPowerAction(action, window, forceIfHung);
    }

    RecordingPowerPlatform platform;
    uint32_t osVersionClass = OsVersionCode::Windows7;
};

TEST_F(PowerActionsTest, EachSystemActionMakesItsRequestAfterThePrivilege) {
    struct Case {
        int32_t action;
        bool forceIfHung;
        Calls calls;
    };
    const Case cases[] = {
        {ShutDown, false, Then(kPrivilege, {"ExitWindowsEx(0x1,0)"})},
        {ShutDown, true, Then(kPrivilege, {"ExitWindowsEx(0x11,0)"})},
        {Restart, false, Then(kPrivilege, {"ExitWindowsEx(0x2,0)"})},
        {Restart, true, Then(kPrivilege, {"ExitWindowsEx(0x12,0)"})},
        {Sleep, true, Then(kPrivilege, {"SetSuspendState(0,0,0)"})},
        {Hibernate, false, Then(kPrivilege, {"SetSuspendState(1,0,0)"})},
        {DisplayOff, true, {"SendWindowMessage(tray,0x112,0xf170,2)"}},
        {ScreenSaver, false, {"SendWindowMessage(tray,0x112,0xf140,2)"}},
        {LockWindows, true, {"LockWorkStation"}},
    };
    for (const Case& c : cases) {
        for (const bool works : {true, false}) {
            platform = RecordingPowerPlatform();
            platform.requestWorks = works;
            const bool reportsResult = c.action != DisplayOff && c.action != ScreenSaver;
            EXPECT_EQ(Perform(c.action, kTray, c.forceIfHung), reportsResult ? works : true) << c.action;
            EXPECT_EQ(platform.calls, c.calls) << c.action;
        }
    }
}

TEST_F(PowerActionsTest, ExitSystemFlags) {
    struct Case {
        bool restart;
        bool force;
        bool forceIfHung;
        const char* call;
    };
    const Case cases[] = {
        {false, false, false, "ExitWindowsEx(0x1,0)"}, {false, false, true, "ExitWindowsEx(0x11,0)"},
        {true, false, false, "ExitWindowsEx(0x2,0)"},  {true, false, true, "ExitWindowsEx(0x12,0)"},
        {false, true, false, "ExitWindowsEx(0x5,0)"},  {false, true, true, "ExitWindowsEx(0x5,0)"},
        {true, true, true, "ExitWindowsEx(0x6,0)"},
    };
    for (const Case& c : cases) {
        platform.calls.clear();
        EXPECT_TRUE(CPowerActions(platform, osVersionClass).ExitSystem(c.restart, c.force, c.forceIfHung));
        EXPECT_EQ(platform.calls.back(), c.call);
    }
}

TEST_F(PowerActionsTest, NoPrivilegeNoRequest) {
    struct Case {
        const char* what;
        void (*breakIt)(RecordingPowerPlatform&);
        Calls privilegeCalls;
    };
    const Case cases[] = {
        {"token cannot be opened",
         [](RecordingPowerPlatform& p) { p.tokenOpens = false; },
         {"OpenProcessToken(0x28)"}},
        {"privilege unknown",
         [](RecordingPowerPlatform& p) { p.lookupWorks = false; },
         {"OpenProcessToken(0x28)", "LookupPrivilege(SeShutdownPrivilege)", "CloseHandle(token)"}},
        {"adjust fails",
         [](RecordingPowerPlatform& p) {
             p.adjustReturns = false;
             p.lastError = 5;
         },
         kPrivilege},
        {"not held by the user",
         [](RecordingPowerPlatform& p) { p.lastError = PowerCalls::ErrorNotAllAssigned; }, kPrivilege},
        {"adjust fails without an error code", [](RecordingPowerPlatform& p) { p.adjustReturns = false; },
         kPrivilege},
    };
    for (const Case& c : cases) {
        for (const int32_t action : {ShutDown, Restart, Sleep, Hibernate}) {
            platform = RecordingPowerPlatform();
            c.breakIt(platform);
            EXPECT_FALSE(Perform(action, kTray, true)) << c.what << ", action " << action;
            EXPECT_EQ(platform.calls, c.privilegeCalls) << c.what << ", action " << action;
        }
        platform = RecordingPowerPlatform();
        c.breakIt(platform);
        EXPECT_FALSE(CPowerActions(platform, osVersionClass).EnableShutdownPrivilege()) << c.what;
    }
}

TEST_F(PowerActionsTest, Windows95FamilyEndsTheTaskbarInsteadOfAskingForThePrivilege) {
    osVersionClass = 0x20004;
    const Calls taskbar = {"FindTopLevelWindow(Shell_TrayWnd,\"\")", "WindowProcessId(taskbar)",
                           "OpenProcess(0x1fffff,1234)", "TerminateProcess(process,1)",
                           "CloseHandle(process)"};
    EXPECT_TRUE(Perform(ShutDown, kTray, false));
    EXPECT_EQ(platform.calls, Then(taskbar, {"ExitWindowsEx(0x1,0)"}));

    platform = RecordingPowerPlatform();
    EXPECT_TRUE(Perform(Restart));
    EXPECT_EQ(platform.calls, Then(taskbar, {"ExitWindowsEx(0x2,0)"}));

    platform = RecordingPowerPlatform();
    EXPECT_TRUE(Perform(Hibernate));
    EXPECT_EQ(platform.calls, Calls{"SetSuspendState(1,0,0)"});
}

TEST_F(PowerActionsTest, Windows95FamilyShutsDownWhateverTheTaskbarStepGives) {
    osVersionClass = OsVersionCode::Windows95;
    struct Case {
        const char* what;
        void (*breakIt)(RecordingPowerPlatform&);
        size_t taskbarCalls;
    };
    const Case cases[] = {
        {"no taskbar", [](RecordingPowerPlatform& p) { p.taskbarExists = false; }, 1},
        {"taskbar gone", [](RecordingPowerPlatform& p) { p.taskbarProcessId = 0; }, 2},
        {"process not opened", [](RecordingPowerPlatform& p) { p.processOpens = false; }, 3},
        {"not terminated", [](RecordingPowerPlatform& p) { p.terminateWorks = false; }, 5},
    };
    for (const Case& c : cases) {
        platform = RecordingPowerPlatform();
        c.breakIt(platform);
        EXPECT_TRUE(Perform(ShutDown)) << c.what;
        ASSERT_EQ(platform.calls.size(), c.taskbarCalls + 1) << c.what;
        EXPECT_EQ(platform.calls.back(), "ExitWindowsEx(0x1,0)") << c.what;
        if (c.taskbarCalls == 5) {
            EXPECT_EQ(platform.calls[4], "CloseHandle(process)") << c.what;
        }
    }
}

TEST_F(PowerActionsTest, UnknownVersionClassNeverEndsTheTaskbar) {
    for (const uint32_t versionClass :
         {OsVersionCode::QueryFailed, OsVersionCode::Unknown, OsVersionCode::Win32s}) {
        platform = RecordingPowerPlatform();
        osVersionClass = versionClass;
        EXPECT_TRUE(Perform(ShutDown));
        EXPECT_EQ(platform.calls, Then(kPrivilege, {"ExitWindowsEx(0x1,0)"})) << versionClass;
    }
}

TEST_F(PowerActionsTest, WindowCommandsNeedAWindow) {
    for (const int32_t action : {DisplayOff, ScreenSaver}) {
        platform.calls.clear();
        EXPECT_TRUE(Perform(action, nullptr));
        EXPECT_TRUE(platform.calls.empty()) << action;
    }
}

TEST_F(PowerActionsTest, OtherCodesDoNothing) {
    platform.requestWorks = false;
    for (const int32_t action : {int32_t{Alarm}, int32_t{PowerAction::Run}, -1, 9, 1000}) {
        EXPECT_TRUE(Perform(action)) << action;
        EXPECT_TRUE(platform.calls.empty()) << action;
    }
}

TEST_F(PowerActionsTest, AvailabilityAsTheSystemReportsIt) {
    for (const bool suspend : {false, true}) {
        for (const bool hibernate : {false, true}) {
            platform.suspendAllowed = suspend;
            platform.hibernateAllowed = hibernate;
            CPowerActions actions(platform, osVersionClass);
            EXPECT_EQ(actions.IsSleepAllowed(), suspend);
            EXPECT_EQ(actions.IsHibernateAllowed(), hibernate);
        }
    }
    EXPECT_TRUE(platform.calls.empty());
}

}  // namespace
