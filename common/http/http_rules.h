#pragma once

#include <cstdint>
#include <optional>

// The values below are the ones WinINet and the code-page functions use; the Win32 adapter checks
// that they agree with the system headers.
inline constexpr int kSchemeHttp = 3;
inline constexpr int kSchemeHttps = 4;
inline constexpr uint32_t kFlagSecure = 0x00800000;
inline constexpr uint32_t kFlagReload = 0x80000000;
inline constexpr uint32_t kFlagNoCacheWrite = 0x04000000;

inline constexpr unsigned kCodePageThreadAnsi = 3;
inline constexpr unsigned kCodePageUtf7 = 65000;
inline constexpr unsigned kCodePageUtf8 = 65001;

// URL buffers hold at most this many characters, the longest URL a browser of the time accepted.
inline constexpr unsigned kMaxUrlChars = 2084;

// The request flags for a URL of the given scheme: the caller's own, plus the secure flag for https.
// Nothing for any scheme other than http and https, which makes the request fail before any traffic.
std::optional<uint32_t> RequestFlagsForScheme(int scheme, uint32_t callerFlags);

// The code page a body is decoded from: UTF-8 and UTF-7 as asked, anything else as the calling
// thread's ANSI code page.
unsigned BodyCodePage(unsigned requested);
