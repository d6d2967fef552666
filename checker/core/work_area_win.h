#pragma once

#include <optional>

#include "checker/core/work_area.h"

// The primary monitor's work area (SPI_GETWORKAREA); nothing when the system does not give it.
std::optional<WorkArea> SystemWorkArea();
