#include "checker/core/checker_endpoints_win.h"

#include "checker_endpoints_default.h"
#include "common/platform/registry_win.h"

CheckerEndpoints CompiledCheckerEndpoints() {
    return {QUILLPACK_PRIMARY_BASE, QUILLPACK_FALLBACK_BASE};
}

CheckerEndpoints CurrentCheckerEndpoints() {
    CWin32Registry registry;
    return ReadCheckerEndpoints(registry, CompiledCheckerEndpoints());
}
