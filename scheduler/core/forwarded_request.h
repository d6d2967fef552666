#pragma once

// The request a second start of Tivolan hands to the running one in a WM_COPYDATA message: 532
// bytes, little-endian, whatever the build.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "scheduler/core/launch_request.h"

struct ForwardedRequest {
    static constexpr size_t kBytes = 532;
    static constexpr size_t kTextOffset = 12;
    static constexpr size_t kTextUnits = 260;  // UTF-16 units, the terminating NUL included

    int32_t kind = 0;
    int32_t seconds = 0;
    int32_t action = 0;
    std::wstring text;

    bool operator==(const ForwardedRequest&) const = default;

    static ForwardedRequest From(const LaunchRequest& request);

    // kind, seconds and action at offsets 0, 4 and 8, the text at 12 as UTF-16 with its NUL and zeros
    // after it. A text longer than 259 units is cut there, leaving out a surrogate pair the cut would
    // split; a NUL in the text ends it, as it ends it for the receiver.
    std::array<uint8_t, kBytes> Encode() const;

    // The request in a received message: nothing unless dwData is 0 and exactly 532 bytes came. The
    // sender is another process and its text need not end: at most 259 units are taken, never a byte
    // beyond the 532, and a high surrogate left without its partner by that cut is dropped. The bytes
    // need no alignment.
    static std::optional<ForwardedRequest> Decode(uint64_t dwData, const void* bytes, size_t byteCount);
};
