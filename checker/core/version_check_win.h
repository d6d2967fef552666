#pragma once

// The version check with the real platform: WinINet, the current user's registry, the endpoints
// with their overrides, the user's language and the process-wide generator.

#include <cstdint>
#include <string>
#include <string_view>

#include "checker/core/version_info.h"
#include "common/http/http_abort.h"

// The ISO 639 name of the user's default locale ("en", "ko"); empty when the system cannot say.
std::wstring UserLanguageName();

// With an abort, another thread can end the check's requests (the check then fails).
bool CheckLatestVersion(CVersionInfo& info,
                        std::wstring_view installedDisplay,
                        std::wstring_view installedSpec,
                        int32_t installedMajor,
                        int32_t installedMinor,
                        CHttpAbort* abort = nullptr);

// Random01 on the process-wide generator, seeded with the tick count on its first use.
double ProcessRandom01();
bool RolloutDraw(double ratio);
