#include "common/http/internet_root.h"

#include <mutex>

#include "common/http/internet_handle.h"
#include "common/http/internet_timeouts.h"

namespace {

// A function-local object: made on first use from whichever thread comes first, and destroyed with
// the other statics at exit, which closes the handle.
struct RootState {
    std::mutex lock;
    UniqueInternetHandle handle;
};

RootState& State() {
    static RootState state;
    return state;
}

HINTERNET OpenLocked(RootState& state, const std::wstring& agent) {
    if (!state.handle) {
        state.handle.Reset(::InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        // Every connection made from the root takes these; each client sets them again on its own
        // handles, for a root of someone else's.
        if (state.handle)
            SetInternetTimeouts(state.handle.Get());
    }
    return state.handle.Get();
}

}  // namespace

HINTERNET CInternetRoot::Open(const std::wstring& agent) {
    RootState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return OpenLocked(state, agent);
}

HINTERNET CInternetRoot::Get() {
    RootState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return OpenLocked(state, kDefaultAgent);
}
