#pragma once

// The user agent the embedded browser sends comes from the version document. It goes into every
// request header the browser makes, so it is cleaned first.

#include <cstddef>
#include <string>
#include <string_view>

constexpr size_t kMaxUserAgentUnits = 255;

// The agent without its control characters (C0, DEL and C1; a line break would start a header of
// the server's choosing), cut at 255 UTF-16 units. A cut never leaves half of a surrogate pair.
std::wstring CleanUserAgent(std::wstring_view agent);
