#include "scheduler/ui/tivolan_app.h"

#include <shellapi.h>

#include "common/platform/resource_string_table_win.h"
#include "common/ui/app_module.h"
#include "scheduler/core/crt_clock.h"
#include "scheduler/core/power_platform_win.h"
#include "scheduler/core/program_launcher_win.h"
#include "scheduler/core/settings_win.h"
#include "scheduler/core/time_formatter_win.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/timeout_confirmation.h"
#include "scheduler/ui/toast_adapter.h"
#include "scheduler/ui/tray.h"

namespace {

// The system's power actions, sent from the tray window (the display and screen-saver commands go
// to it) with the ForceIfHung choice as it stands when the action is due.
class CTrayPowerActions : public IPowerActions {
  public:
    bool Perform(int32_t action) override {
        return SystemPowerActions().PerformPowerAction(
            action, reinterpret_cast<PlatformWindow>(Tray().Hwnd()), Settings().forceIfHung);
    }
};

}  // namespace

const IStringTable& UiStrings() {
    static const CResourceStringTable strings(CAppModule::Instance().Handle(),
                                              CAppModule::Instance().ResourceLanguage());
    return strings;
}

const CActionTexts& ActionTexts() {
    static const CActionTexts texts(UiStrings());
    return texts;
}

CScheduler& Scheduler() {
    static const CCrtClock clock;
    static const CWin32TimeFormatter timeFormatter;
    static CTrayPowerActions power;
    static CShellProgramLauncher launcher;
    static CTimeoutConfirmation confirmation(clock);
    static CScheduler scheduler(
        Settings(), UiStrings(), ActionTexts(),
        SchedulerServices{clock, timeFormatter, Tray(), ToastService(), confirmation, power, launcher});
    return scheduler;
}

void OpenProductPage(HWND owner) {
    const std::wstring address = UiStrings().Load(IDS_PRODUCT_PAGE_URL);
    if (!address.empty())
        ::ShellExecuteW(owner, nullptr, address.c_str(), nullptr, nullptr, SW_SHOW);
}
