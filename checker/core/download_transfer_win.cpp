#include "checker/core/download_transfer_win.h"

bool CWinInetDownloadTransfer::Open(const std::wstring& url) {
    // The client refuses every scheme but http and https before connecting.
    return m_client.OpenRequest(L"GET", url, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE);
}

bool CWinInetDownloadTransfer::Send() {
    return m_client.SendRequest();
}

uint32_t CWinInetDownloadTransfer::StatusCode() {
    return m_client.QueryStatusCode();
}

uint32_t CWinInetDownloadTransfer::ContentLength() {
    return m_client.QueryContentLength();
}

long CWinInetDownloadTransfer::Read(void* buffer, uint32_t size) {
    return m_client.ReadChunk(buffer, size);
}

void CWinInetDownloadTransfer::Close() {
    m_client.Close();
}
