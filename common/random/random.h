#pragma once

#include <cstdint>
#include <functional>

// A source of 15-bit draws (0..32767), the shape of the classic C run-time rand().
using Draw15 = std::function<uint32_t()>;

// A number below n from two 15-bit draws combined into 30 bits, by rejection so that every value
// is equally likely. n = 0 gives 0 without drawing; n above 2^30 cannot be served evenly and gets
// the 30-bit value itself.
uint32_t DrawBelow(const Draw15& draw, uint32_t n);

// The one-draw variant for small ranges: the same rejection over 2^15. n = 0 gives 0 without
// drawing; n above 2^15 gets the 15-bit value itself.
uint32_t DrawBelowOneDraw(const Draw15& draw, uint32_t n);

// The linear congruential generator of the classic C run-time rand(), so a given seed gives the
// same sequence on every platform and in every build.
class CRandom {
  public:
    explicit CRandom(uint32_t seed = 1) : m_state(seed) {}

    void Seed(uint32_t seed) { m_state = seed; }
    uint32_t Next15();
    uint32_t Below(uint32_t n);
    uint32_t BelowOneDraw(uint32_t n);

  private:
    uint32_t m_state;
};
