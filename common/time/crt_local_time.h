#pragma once

// The C runtime's local-time breakdown of 64-bit seconds, in the system's time zone (or TZ when it is
// set), the same in every build.

#include <cstdint>
#include <ctime>
#include <optional>

// Nothing when the runtime cannot break the time down (the Windows runtime covers 1970 to 3000).
std::optional<std::tm> CrtLocalTime(int64_t time);
