#include "common/random/process_random.h"

#include <windows.h>

#include <mutex>

#include "common/random/random.h"

namespace {

std::mutex g_lock;

CRandom& Generator() {
    static CRandom generator(GetTickCount());
    return generator;
}

}  // namespace

uint32_t ProcessRandomBelow(uint32_t n) {
    std::lock_guard<std::mutex> hold(g_lock);
    return Generator().Below(n);
}

uint32_t ProcessRandomBelowOneDraw(uint32_t n) {
    std::lock_guard<std::mutex> hold(g_lock);
    return Generator().BelowOneDraw(n);
}

uint32_t ProcessRandomNext15() {
    std::lock_guard<std::mutex> hold(g_lock);
    return Generator().Next15();
}
