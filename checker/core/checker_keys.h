#pragma once

#include <cstdint>

#include "common/platform/registry.h"

// Where the checker keeps its state and learns about the installed pack. Every other file names
// these keys and values through here.

// HKEY_CURRENT_USER: the check times, the reminder period and the endpoint overrides.
inline constexpr const wchar_t* kCheckerStateKeyPath = L"Software\\Quillpack\\Update";
inline constexpr const wchar_t* kLoadedValue = L"loaded";
inline constexpr const wchar_t* kCheckedValue = L"checked";
inline constexpr const wchar_t* kPeriodValue = L"period";
inline constexpr const wchar_t* kServerValue = L"Server";
inline constexpr const wchar_t* kFallbackServerValue = L"FallbackServer";

// HKEY_CURRENT_USER: the partner-notification switch and the notification pages' shown counts.
inline constexpr const wchar_t* kQuillpackKeyPath = L"Software\\Quillpack";
inline constexpr const wchar_t* kPartnerSwitchValue = L"criteo";

// Every HKEY_LOCAL_MACHINE access of the checker: read only, in the 32-bit view, where the pack's
// 32-bit installer writes its entries, whatever the checker's own build.
inline constexpr uint32_t kMachineReadAccess = RegistryAccess::Read | RegistryAccess::View32;

// HKEY_LOCAL_MACHINE, read only: the pack's uninstall entry.
inline constexpr const wchar_t* kUninstallKeyPath =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillpack";

// HKEY_CURRENT_USER written, HKEY_LOCAL_MACHINE only read: start at log-on.
inline constexpr const wchar_t* kCheckerRunKeyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kCheckerRunValue = L"qpchk";
