#include "checker/core/background_check.h"

#include "checker/core/checker_keys.h"
#include "checker/core/checker_state.h"
#include "checker/core/reminder_gate.h"
#include "checker/core/version_rules.h"

namespace {

// The check waits a second after the log-on in short steps, so an owner that goes away is not kept.
constexpr int kPauseSteps = 100;
constexpr uint32_t kPauseStepMilliseconds = 10;

}  // namespace

bool RunBackgroundCheck(const BackgroundCheckServices& services, BackgroundCheckResult& result) {
    InstalledVersion installed;
    int64_t now = 0;
    {
        const auto uninstall =
            services.registry.Open(RegistryRoot::LocalMachine, kUninstallKeyPath, kMachineReadAccess);
        if (!uninstall)
            return false;
        for (int step = 0; step < kPauseSteps; ++step) {
            services.sleep(kPauseStepMilliseconds);
            if (services.abortRequested())
                return false;
        }
        now = services.now();
        installed = ReadInstalledVersion(*uninstall);
        result.installedDisplay = installed.display;
        result.installedSpec = installed.spec;
    }

    if (!services.fetch(result.info, installed))
        return false;
    CCheckerState(services.registry).SetLoadedTime(now);

    if (!ModeAllowsBackground(result.info.mode))
        return false;
    if (!services.rolloutDraw(result.info.ratio))
        return false;
    // An owner that went away during the request would never show the announcement; the gate must
    // not record one as made.
    if (services.abortRequested())
        return false;
    if (ReminderGate(services.registry, services.calendar, now, result.info.mode) == GateDecision::Hold)
        return false;
    return result.info.IsNewerThanInstalled(installed.major, installed.minor);
}
