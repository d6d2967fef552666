#pragma once

#include <cstddef>
#include <optional>
#include <string>

// What one call of a function that fills a caller's buffer reported.
struct FillResult {
    enum class Status { kFilled, kTooSmall, kFailed };
    Status status;
    // kFilled: the characters written; kTooSmall: the capacity the call asks for.
    size_t count;
};

// Calls `fill(buffer, capacity)` with `initialCapacity` characters; when that is too small, once more
// with the capacity the call asked for. Nothing when the call fails, asks for a buffer no larger than
// the one it had, or is still not satisfied: a single retry keeps a misbehaving call from looping.
template <typename Char, typename Fill>
std::optional<std::basic_string<Char>> FillGrowingBuffer(size_t initialCapacity, Fill&& fill) {
    std::basic_string<Char> buffer(initialCapacity, Char());
    FillResult result = fill(buffer.data(), buffer.size());
    if (result.status == FillResult::Status::kTooSmall) {
        if (result.count <= buffer.size())
            return std::nullopt;
        buffer.assign(result.count, Char());
        result = fill(buffer.data(), buffer.size());
    }
    if (result.status != FillResult::Status::kFilled || result.count > buffer.size())
        return std::nullopt;
    buffer.resize(result.count);
    return buffer;
}
