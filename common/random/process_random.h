#pragma once

#include <cstdint>

// The checker's process-wide generator, seeded once from the system tick count on first use.
// Safe to call from any thread.
uint32_t ProcessRandomBelow(uint32_t n);
uint32_t ProcessRandomBelowOneDraw(uint32_t n);
