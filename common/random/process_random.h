#pragma once

#include <cstdint>

// The checker's process-wide generator, seeded once from the system tick count on first use.
// Safe to call from any thread.
uint32_t ProcessRandomBelow(uint32_t n);
uint32_t ProcessRandomBelowOneDraw(uint32_t n);
// One plain 15-bit draw (0..32767), for callers that combine draws themselves.
uint32_t ProcessRandomNext15();
