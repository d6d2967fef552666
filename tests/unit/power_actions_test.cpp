#include "scheduler/core/power_actions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "scheduler/core/os_version.h"
#include "scheduler/core/power_action.h"

namespace {

using Calls = std::vector<std::string>;

PlatformHandle Fake(uintptr_t value) {
    return reinterpret_cast<PlatformHandle>(value);
}

const PlatformHandle kToken = Fake(0x70);
const PlatformHandle kProcess = Fake(0x90);
const PlatformWindow kTaskbar = Fake(0xB0);
const PlatformWindow kTray = Fake(0xC0);

std::string Text(PlatformHandle handle) {
    return handle == kToken     ? "token"
           : handle == kProcess ? "process"
           : handle == kTaskbar ? "taskbar"
                                : "tray";
}
std::string Text(const std::wstring& text) {
    std::string quoted = "'";
    for (const wchar_t c : text)
        quoted.push_back(static_cast<char>(c));
    return quoted + "'";
}
std::string Text(uint64_t number) {
    return number < 10 ? std::to_string(number) : "0x" + (std::stringstream() << std::hex << number).str();
}

// Records every call with its arguments; each answer can be set.
class RecordingPowerPlatform : public IPowerPlatform {
  public:
    PlatformHandle OpenProcessToken(uint32_t access) override {
        return Record({"OpenProcessToken", Text(access)}, tokenOpens ? kToken : nullptr);
    }
    std::optional<PrivilegeId> LookupPrivilege(const std::wstring& name) override {
        return Record({"LookupPrivilege", Text(name)},
                      lookupWorks ? std::optional<PrivilegeId>(PrivilegeId{19, 0}) : std::nullopt);
    }
    bool AdjustTokenPrivilege(PlatformHandle token, PrivilegeId privilege, uint32_t attributes) override {
        return Record({"AdjustTokenPrivilege", Text(token), Text(privilege.lowPart), Text(attributes)},
                      adjustReturns);
    }
    uint32_t LastError() override { return Record({"LastError"}, lastError); }
    void CloseHandle(PlatformHandle handle) override { Record({"CloseHandle", Text(handle)}, 0); }
    bool ExitWindowsEx(uint32_t flags, uint32_t reason) override {
        return Record({"ExitWindowsEx", Text(flags), Text(reason)}, requestWorks);
    }
    bool SetSuspendState(bool hibernate, bool forceCritical, bool disableWakeEvent) override {
        return Record({"SetSuspendState", Text(hibernate), Text(forceCritical), Text(disableWakeEvent)},
                      requestWorks);
    }
    bool LockWorkStation() override { return Record({"LockWorkStation"}, requestWorks); }
    intptr_t SendWindowMessage(PlatformWindow window,
                               uint32_t message,
                               uintptr_t wParam,
                               intptr_t lParam) override {
        return Record({"SendWindowMessage", Text(window), Text(message), Text(wParam), Text(lParam)}, 0);
    }
    bool IsSuspendAllowed() override { return false; }
    bool IsHibernateAllowed() override { return false; }
    PlatformWindow FindTopLevelWindow(const std::wstring& className, const std::wstring& title) override {
        return Record({"FindTopLevelWindow", Text(className), Text(title)},
                      taskbarExists ? kTaskbar : nullptr);
    }
    uint32_t WindowProcessId(PlatformWindow window) override {
        return Record({"WindowProcessId", Text(window)}, taskbarProcessId);
    }
    PlatformHandle OpenProcess(uint32_t access, uint32_t processId) override {
        return Record({"OpenProcess", Text(access), Text(processId)}, processOpens ? kProcess : nullptr);
    }
    bool TerminateProcess(PlatformHandle process, uint32_t exitCode) override {
        return Record({"TerminateProcess", Text(process), Text(exitCode)}, terminateWorks);
    }

    Calls calls;
    bool tokenOpens = true;
    bool lookupWorks = true;
    bool adjustReturns = true;
    uint32_t lastError = 0;
    bool requestWorks = true;
    bool taskbarExists = true;
    uint32_t taskbarProcessId = 1234;
    bool processOpens = true;
    bool terminateWorks = true;

  private:
    template <typename T>
    T Record(const std::vector<std::string>& call, T answer) {
        std::string text = call[0];
        for (size_t i = 1; i < call.size(); ++i)
            text += (i == 1 ? "(" : ",") + call[i];
        calls.push_back(call.size() > 1 ? text + ")" : text);
        return answer;
    }
};

const Calls kPrivilege = {"OpenProcessToken(0x28)", "LookupPrivilege('SeShutdownPrivilege')",
                          "AdjustTokenPrivilege(token,0x13,2)", "LastError", "CloseHandle(token)"};
const Calls kTaskbarStep = {"FindTopLevelWindow('Shell_TrayWnd','')", "WindowProcessId(taskbar)",
                            "OpenProcess(0x1fffff,0x4d2)", "TerminateProcess(process,1)",
                            "CloseHandle(process)"};

Calls Then(Calls first, const std::string& last) {
    first.push_back(last);
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
        {PowerAction::ShutDown, true, Then(kPrivilege, "ExitWindowsEx(0x11,0)")},
        {PowerAction::Restart, false, Then(kPrivilege, "ExitWindowsEx(2,0)")},
        {PowerAction::Sleep, true, Then(kPrivilege, "SetSuspendState(0,0,0)")},
        {PowerAction::Hibernate, false, Then(kPrivilege, "SetSuspendState(1,0,0)")},
        {PowerAction::DisplayOff, true, {"SendWindowMessage(tray,0x112,0xf170,2)"}},
        {PowerAction::ScreenSaver, false, {"SendWindowMessage(tray,0x112,0xf140,2)"}},
        {PowerAction::LockWindows, true, {"LockWorkStation"}},
    };
    for (const Case& c : cases) {
        for (const bool works : {true, false}) {
            platform = RecordingPowerPlatform();
            platform.requestWorks = works;
            // The window commands have no result to report.
            const bool expected = works || c.action == PowerAction::DisplayOff || c.action == PowerAction::ScreenSaver;
            EXPECT_EQ(Perform(c.action, kTray, c.forceIfHung), expected) << c.action;
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
        {false, false, false, "ExitWindowsEx(1,0)"}, {false, false, true, "ExitWindowsEx(0x11,0)"},
        {true, false, false, "ExitWindowsEx(2,0)"},  {true, false, true, "ExitWindowsEx(0x12,0)"},
        {false, true, true, "ExitWindowsEx(5,0)"},   {true, true, false, "ExitWindowsEx(6,0)"},
    };
    for (const Case& c : cases) {
        platform.calls.clear();
        EXPECT_TRUE(CPowerActions(platform, osVersionClass).ExitSystem(c.restart, c.force, c.forceIfHung));
        EXPECT_EQ(platform.calls, Then(kPrivilege, c.call));
    }
}

TEST_F(PowerActionsTest, NoPrivilegeNoRequest) {
    struct Case {
        const char* what;
        void (*breakIt)(RecordingPowerPlatform&);
        Calls calls;
    };
    const Case cases[] = {
        {"token not opened",
         [](RecordingPowerPlatform& p) { p.tokenOpens = false; },
         {"OpenProcessToken(0x28)"}},
        {"privilege unknown",
         [](RecordingPowerPlatform& p) { p.lookupWorks = false; },
         {"OpenProcessToken(0x28)", "LookupPrivilege('SeShutdownPrivilege')", "CloseHandle(token)"}},
        {"adjust fails", [](RecordingPowerPlatform& p) { p.adjustReturns = false, p.lastError = 5; },
         kPrivilege},
        {"adjust fails, no error code", [](RecordingPowerPlatform& p) { p.adjustReturns = false; },
         kPrivilege},
        {"not held", [](RecordingPowerPlatform& p) { p.lastError = PowerCalls::ErrorNotAllAssigned; },
         kPrivilege},
    };
    for (const Case& c : cases) {
        for (const int32_t action : {PowerAction::ShutDown, PowerAction::Restart, PowerAction::Sleep, PowerAction::Hibernate}) {
            platform = RecordingPowerPlatform();
            c.breakIt(platform);
            EXPECT_FALSE(Perform(action, kTray, true)) << c.what << ", action " << action;
            EXPECT_EQ(platform.calls, c.calls) << c.what << ", action " << action;
        }
    }
}

TEST_F(PowerActionsTest, OnlyTheWindows95FamilyEndsTheTaskbar) {
    osVersionClass = 0x20004;
    EXPECT_TRUE(Perform(PowerAction::Restart));
    EXPECT_EQ(platform.calls, Then(kTaskbarStep, "ExitWindowsEx(2,0)"));
    platform = RecordingPowerPlatform();
    EXPECT_TRUE(Perform(PowerAction::Hibernate));
    EXPECT_EQ(platform.calls, Calls{"SetSuspendState(1,0,0)"});

    // A failed or unknown version query must not end Explorer on an NT system.
    for (const uint32_t unknown :
         {OsVersionCode::QueryFailed, OsVersionCode::Unknown, OsVersionCode::Win32s}) {
        platform = RecordingPowerPlatform();
        osVersionClass = unknown;
        EXPECT_TRUE(Perform(PowerAction::ShutDown));
        EXPECT_EQ(platform.calls, Then(kPrivilege, "ExitWindowsEx(1,0)")) << unknown;
    }
}

TEST_F(PowerActionsTest, Windows95FamilyShutsDownWhateverTheTaskbarStepGives) {
    osVersionClass = OsVersionCode::Windows95;
    struct Case {
        void (*breakIt)(RecordingPowerPlatform&);
        size_t stepsTaken;
    };
    const Case cases[] = {
        {[](RecordingPowerPlatform& p) { p.taskbarExists = false; }, 1},
        {[](RecordingPowerPlatform& p) { p.taskbarProcessId = 0; }, 2},
        {[](RecordingPowerPlatform& p) { p.processOpens = false; }, 3},
        {[](RecordingPowerPlatform& p) { p.terminateWorks = false; }, 5},
    };
    for (const Case& c : cases) {
        platform = RecordingPowerPlatform();
        c.breakIt(platform);
        EXPECT_TRUE(Perform(PowerAction::ShutDown));
        const Calls taken(kTaskbarStep.begin(), kTaskbarStep.begin() + c.stepsTaken);
        EXPECT_EQ(platform.calls, Then(taken, "ExitWindowsEx(1,0)")) << c.stepsTaken;
    }
}

TEST_F(PowerActionsTest, NoWindowOrNoSystemActionDoesNothing) {
    platform.requestWorks = false;
    EXPECT_TRUE(Perform(PowerAction::DisplayOff, nullptr));
    EXPECT_TRUE(Perform(PowerAction::ScreenSaver, nullptr));
    for (const int32_t action : {int32_t{PowerAction::Alarm}, int32_t{PowerAction::Run}, -1, 9, 1000})
        EXPECT_TRUE(Perform(action)) << action;
    EXPECT_TRUE(platform.calls.empty());
}

}  // namespace
