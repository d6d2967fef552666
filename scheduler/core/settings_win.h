#pragma once

// The process-wide settings record, kept in the real registry.

#include "scheduler/core/settings.h"

// Created and loaded on first use; lives until the process ends. User-interface thread only.
CSettings& Settings();

// Settings().Save into the real registry.
void SaveSettings(bool withTasks);
