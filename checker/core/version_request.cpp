#include "checker/core/version_request.h"

#include "common/text/format.h"

std::wstring VersionRequestUrl(std::wstring_view endpointAddress,
                               std::wstring_view display,
                               std::wstring_view spec,
                               int32_t major,
                               int32_t minor,
                               std::wstring_view lang) {
    return FormatText(
        L"%s?version=%s&sver=%s&hv=%d&lv=%d&lang=%s",
        {endpointAddress, display, spec, static_cast<int>(major), static_cast<int>(minor), lang});
}
