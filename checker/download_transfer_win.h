#pragma once

#include "checker/download_transfer.h"
#include "common/http/http_client.h"

// The download's GET over WinINet, on the process-wide internet handle.
class CWinInetDownloadTransfer final : public IDownloadTransfer {
  public:
    CWinInetDownloadTransfer() = default;

    bool Open(const std::wstring& url) override;
    bool Send() override;
    uint32_t StatusCode() override;
    uint32_t ContentLength() override;
    long Read(void* buffer, uint32_t size) override;
    void Close() override;

  private:
    CHttpClient m_client;
};
