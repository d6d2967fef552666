#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The version request: "ENDPOINT?version=DISPLAY&sver=SPEC&hv=MAJOR&lv=MINOR&lang=LANG". The texts
// go in as they stand (WinINet canonicalises the whole address), and every parameter is sent even
// when its value is empty.
std::wstring VersionRequestUrl(std::wstring_view endpointAddress,
                               std::wstring_view display,
                               std::wstring_view spec,
                               int32_t major,
                               int32_t minor,
                               std::wstring_view lang);
