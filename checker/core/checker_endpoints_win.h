#pragma once

// The endpoints the running checker uses: the compiled-in bases with the current user's overrides.

#include "checker/core/checker_endpoints.h"

CheckerEndpoints CompiledCheckerEndpoints();
// Read again on every call, so a test can change the overrides between checks.
CheckerEndpoints CurrentCheckerEndpoints();
