#include "checker/download_file_win.h"

bool CWin32DownloadFile::Create(const std::wstring& path) {
    m_file.Reset(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
    return m_file.IsValid();
}

bool CWin32DownloadFile::Write(const void* data, uint32_t size) {
    if (!m_file)
        return false;
    DWORD written = 0;
    return ::WriteFile(m_file.Get(), data, size, &written, nullptr) && written == size;
}

void CWin32DownloadFile::Close() {
    m_file.Reset();
}
