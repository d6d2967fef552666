#include "checker/core/download_job.h"

#include <array>
#include <utility>

namespace {

constexpr uint32_t kStatusOk = 200;

}  // namespace

CDownloadJob::CDownloadJob(ILockable& lock) : m_lock(lock) {}

void CDownloadJob::Prepare(std::wstring url, std::wstring filePath) {
    m_url = std::move(url);
    m_filePath = std::move(filePath);
    CLockHolder hold(m_lock);
    m_totalBytes = 0;
    m_receivedBytes = 0;
    m_state = DownloadState::Started;
}

DownloadState CDownloadJob::Run(IDownloadTransfer& transfer,
                                IDownloadFile& file,
                                const std::function<bool()>& cancelRequested,
                                const std::function<bool()>& isTrusted) {
    DownloadState result = DownloadState::Failed;
    // An unsafe file name is known before anything goes out, so nothing is asked of the server.
    if (!m_filePath.empty()) {
        result = Transfer(transfer, file, cancelRequested);
        transfer.Close();
    }
    // Only the file that was written, held so that nobody can change it any more, is checked, and
    // only a file that passes is ever reported complete.
    if (result == DownloadState::Completed && (!file.Seal() || !isTrusted()))
        result = DownloadState::Failed;
    StoreState(result);
    return result;
}

DownloadState CDownloadJob::Transfer(IDownloadTransfer& transfer,
                                     IDownloadFile& file,
                                     const std::function<bool()>& cancelRequested) {
    if (!transfer.Open(m_url))
        return DownloadState::Failed;
    if (cancelRequested())
        return DownloadState::Cancelled;
    if (!transfer.Send() || transfer.StatusCode() != kStatusOk)
        return DownloadState::Failed;
    if (cancelRequested())
        return DownloadState::Cancelled;
    if (!file.Create(m_filePath))
        return DownloadState::Failed;

    const uint32_t announced = transfer.ContentLength();
    {
        CLockHolder hold(m_lock);
        m_totalBytes = announced;
    }
    {
        CLockHolder hold(m_lock);
        m_state = DownloadState::Receiving;
    }
    const DownloadState result = ReceiveBody(transfer, file, cancelRequested, announced);
    file.Close();
    return result;
}

DownloadState CDownloadJob::ReceiveBody(IDownloadTransfer& transfer,
                                        IDownloadFile& file,
                                        const std::function<bool()>& cancelRequested,
                                        uint32_t announced) {
    std::array<unsigned char, kBlockSize> block;
    // Counted in 64 bits so that a body past 4 GiB cannot wrap round to look complete.
    uint64_t received = 0;
    long count = transfer.Read(block.data(), kBlockSize);
    while (count >= 0) {
        if (cancelRequested())
            return DownloadState::Cancelled;
        if (count == 0) {
            // A connection that drops early ends the body like a normal end; only the announced
            // length tells a cut installer from a whole one.
            return announced == 0 || received == announced ? DownloadState::Completed : DownloadState::Failed;
        }
        if (static_cast<unsigned long>(count) > kBlockSize)
            break;
        // More than announced is not the file the server described; nothing past it is written.
        if (announced != 0 && received + static_cast<uint64_t>(count) > announced)
            break;
        if (!file.Write(block.data(), static_cast<uint32_t>(count)))
            break;
        received += static_cast<uint64_t>(count);
        {
            CLockHolder hold(m_lock);
            m_receivedBytes = received > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(received);
        }
        count = transfer.Read(block.data(), kBlockSize);
    }
    return DownloadState::Failed;
}

void CDownloadJob::StoreState(DownloadState state) {
    CLockHolder hold(m_lock);
    m_state = state;
}

DownloadProgress CDownloadJob::Progress() const {
    CLockHolder hold(m_lock);
    return DownloadProgress{m_state, m_totalBytes, m_receivedBytes};
}
