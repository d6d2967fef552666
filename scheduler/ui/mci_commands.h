#pragma once

// The few Media Control Interface commands the sound player sends, apart from the player's rules so
// those can be proven without a sound device (Wine has none: every open fails with 274).

#include <cstdint>
#include <string>

class IMciCommands {
  public:
    virtual ~IMciCommands() = default;

    // The 8.3 form of `path`, which the multimedia drivers expect; the path itself when the system
    // gives none (no such file, or a volume without short names).
    virtual std::wstring ShortPath(const std::wstring& path) = 0;

    // Each returns the MCI error code, 0 on success.
    // Opens `element` shareable and waits; the system picks the device from its extension.
    virtual uint32_t Open(const std::wstring& element, uint32_t& deviceId) = 0;
    // Plays from position 0 and returns at once; the completion goes to `notifyWindow` (0: none).
    virtual uint32_t Play(uint32_t deviceId, uintptr_t notifyWindow) = 0;
    virtual uint32_t Stop(uint32_t deviceId) = 0;
    virtual uint32_t Close(uint32_t deviceId) = 0;
};
