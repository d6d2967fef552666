#pragma once

// The desktop's work area (the screen without the taskbar), on which notification pages are placed.

#include <cstdint>
#include <functional>
#include <optional>

struct WorkArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const WorkArea&) const = default;
};

// Asked only for a page that wants a position; nothing when the system cannot tell.
using WorkAreaSource = std::function<std::optional<WorkArea>()>;
