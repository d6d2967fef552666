#include "common/http/http_rules.h"

std::optional<uint32_t> RequestFlagsForScheme(int scheme, uint32_t callerFlags) {
    switch (scheme) {
        case kSchemeHttp:
            return callerFlags;
        case kSchemeHttps:
            return callerFlags | kFlagSecure;
        default:
            return std::nullopt;
    }
}

unsigned BodyCodePage(unsigned requested) {
    return requested == kCodePageUtf8 || requested == kCodePageUtf7 ? requested : kCodePageThreadAnsi;
}
