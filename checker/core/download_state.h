#pragma once

#include <cstdint>

// Where a download stands. The dialog polls it; the worker stores Completed, Failed or Cancelled as its
// last act, so seeing one of those means the worker no longer touches the shared fields.
enum class DownloadState : int32_t {
    Idle = 0,       // nothing started
    Started = 1,    // set just before the worker starts
    Receiving = 2,  // file created, announced length known
    Completed = 3,
    Failed = 4,
    Cancelled = 5,
};

// True for the three states the worker ends in.
constexpr bool IsFinalDownloadState(DownloadState state) {
    return state == DownloadState::Completed || state == DownloadState::Failed ||
           state == DownloadState::Cancelled;
}
