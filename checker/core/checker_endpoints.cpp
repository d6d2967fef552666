#include "checker/core/checker_endpoints.h"

#include "checker/core/checker_keys.h"
#include "common/http/endpoint_override.h"

CheckerEndpoints ReadCheckerEndpoints(IRegistry& registry, const CheckerEndpoints& defaults) {
    return {ReadEndpointOverride(registry, kCheckerStateKeyPath, kServerValue, defaults.primary),
            ReadEndpointOverride(registry, kCheckerStateKeyPath, kFallbackServerValue, defaults.fallback)};
}
