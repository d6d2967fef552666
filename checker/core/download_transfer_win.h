#pragma once

#include "checker/core/download_transfer.h"
#include "common/http/http_client.h"

// The download's GET over WinINet, on the process-wide internet handle. With an abort (which must
// outlive the transfer), another thread can end it at any point: every call then fails.
class CWinInetDownloadTransfer final : public IDownloadTransfer {
  public:
    explicit CWinInetDownloadTransfer(CHttpAbort* abort = nullptr) : m_client(nullptr, abort) {}

    bool Open(const std::wstring& url) override;
    bool Send() override;
    uint32_t StatusCode() override;
    uint32_t ContentLength() override;
    long Read(void* buffer, uint32_t size) override;
    void Close() override;

  private:
    CHttpClient m_client;
};
