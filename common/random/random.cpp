#include "common/random/random.h"

namespace {

constexpr uint32_t kRange15 = 1u << 15;
constexpr uint32_t kRange30 = 1u << 30;

uint32_t Rejection(const std::function<uint32_t()>& next, uint32_t range, uint32_t n) {
    if (n == 0)
        return 0;
    if (n > range)
        return next();
    const uint32_t bucket = range / n;
    const uint32_t limit = n * bucket;  // at most range, so no overflow
    uint32_t v = next();
    while (v >= limit)
        v = next();
    return v / bucket;
}

}  // namespace

uint32_t DrawBelow(const Draw15& draw, uint32_t n) {
    return Rejection(
        [&draw] {
            const uint32_t high = draw() & 0x7FFF;
            return (high << 15) | (draw() & 0x7FFF);
        },
        kRange30, n);
}

uint32_t DrawBelowOneDraw(const Draw15& draw, uint32_t n) {
    return Rejection([&draw] { return draw() & 0x7FFF; }, kRange15, n);
}

uint32_t CRandom::Next15() {
    m_state = m_state * 214013u + 2531011u;
    return (m_state >> 16) & 0x7FFF;
}

uint32_t CRandom::Below(uint32_t n) {
    return DrawBelow([this] { return Next15(); }, n);
}

uint32_t CRandom::BelowOneDraw(uint32_t n) {
    return DrawBelowOneDraw([this] { return Next15(); }, n);
}
