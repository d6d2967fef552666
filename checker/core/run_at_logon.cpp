#include "checker/core/run_at_logon.h"

#include "checker/core/checker_keys.h"
#include "checker/core/checker_values.h"
#include "common/platform/registry_values.h"

namespace {

bool IsUsablePath(std::wstring_view path) {
    return !path.empty() && path.size() <= kMaxCheckerPathLength &&
           path.find_first_of(std::wstring_view(L"\"\0", 2)) == std::wstring_view::npos;
}

}  // namespace

std::wstring RunAtLogonCommand(std::wstring_view exePath) {
    std::wstring command = L"\"";
    command += exePath;
    command += L"\" /s";
    return command;
}

void EnsureRunAtLogon(IRegistry& registry, std::wstring_view exePath) {
    if (const auto machine =
            registry.Open(RegistryRoot::LocalMachine, kCheckerRunKeyPath, kMachineReadAccess)) {
        if (!ReadText(*machine, kCheckerRunValue).empty())
            return;
    }
    if (!IsUsablePath(exePath))
        return;
    const auto user =
        registry.Create(RegistryRoot::CurrentUser, kCheckerRunKeyPath, RegistryAccess::AllAccess);
    if (user)
        WriteString(*user, kCheckerRunValue, RunAtLogonCommand(exePath));
}
