#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "checker/core/download_state.h"
#include "checker/core/download_transfer.h"
#include "common/thread/lockable.h"

// A consistent view of the fields the worker shares with the dialog.
struct DownloadProgress {
    DownloadState state;
    uint32_t totalBytes;     // announced length; 0 when unknown
    uint32_t receivedBytes;  // bytes written so far
};

// One installer download: the dialog prepares it on its own thread, a worker runs it, and the
// dialog's timer reads its progress. State and counters are only touched under the caller's lock;
// the lock is never held across network or disk calls, so the timer is never kept waiting on them.
class CDownloadJob {
  public:
    // Bytes read and written at a time.
    static constexpr uint32_t kBlockSize = 1024;

    explicit CDownloadJob(ILockable& lock);
    CDownloadJob(const CDownloadJob&) = delete;
    CDownloadJob& operator=(const CDownloadJob&) = delete;

    // Call before the worker starts: state Started, counters 0. An empty filePath stands for an
    // unsafe file name and makes Run fail before any request.
    void Prepare(std::wstring url, std::wstring filePath);

    // The worker body. Returns the result (Completed, Failed or Cancelled), which is also stored
    // under the lock as the last act. `cancelRequested` is asked between steps and between blocks.
    // A body shorter or longer than an announced Content-Length fails; without one, the end of the
    // body is the end of the file. A whole body is sealed and then completes only when `isTrusted`
    // accepts the sealed file as an installer to start. The file is left in place whatever the result.
    DownloadState Run(IDownloadTransfer& transfer,
                      IDownloadFile& file,
                      const std::function<bool()>& cancelRequested,
                      const std::function<bool()>& isTrusted);

    // Taken under the lock.
    DownloadProgress Progress() const;

    const std::wstring& Url() const { return m_url; }
    const std::wstring& FilePath() const { return m_filePath; }

  private:
    DownloadState Transfer(IDownloadTransfer& transfer,
                           IDownloadFile& file,
                           const std::function<bool()>& cancelRequested);
    DownloadState ReceiveBody(IDownloadTransfer& transfer,
                              IDownloadFile& file,
                              const std::function<bool()>& cancelRequested,
                              uint32_t announced);
    void StoreState(DownloadState state);

    ILockable& m_lock;
    std::wstring m_url;
    std::wstring m_filePath;
    DownloadState m_state = DownloadState::Idle;
    uint32_t m_totalBytes = 0;
    uint32_t m_receivedBytes = 0;
};
