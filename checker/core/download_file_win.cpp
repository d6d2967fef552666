#include "checker/core/download_file_win.h"

namespace {

// What the system's download warnings look for on a file from the Internet zone.
constexpr char kInternetZoneMark[] = "[ZoneTransfer]\r\nZoneId=3\r\n";

}  // namespace

bool CWin32DownloadFile::Create(const std::wstring& path) {
    Release();
    m_path = path;
    m_writer.Reset(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!m_writer || !::GetFileInformationByHandle(m_writer.Get(), &info)) {
        m_writer.Reset();
        return false;
    }
    m_identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    DWORD flags = 0;
    m_namedStreams = ::GetVolumeInformationByHandleW(m_writer.Get(), nullptr, 0, nullptr, nullptr, &flags, nullptr,
                                                     0) &&
                     (flags & FILE_NAMED_STREAMS);
    return true;
}

bool CWin32DownloadFile::Write(const void* data, uint32_t size) {
    if (!m_writer)
        return false;
    DWORD written = 0;
    return ::WriteFile(m_writer.Get(), data, size, &written, nullptr) && written == size;
}

void CWin32DownloadFile::Close() {
    m_writer.Reset();
}

bool CWin32DownloadFile::Seal() {
    if (m_path.empty() || m_writer || m_sealed)
        return false;
    if (m_namedStreams) {
        // Best effort: a file without the mark is still the checked installer.
        UniqueFile zone(::CreateFileW((m_path + L":Zone.Identifier").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (zone)
            ::WriteFile(zone.Get(), kInternetZoneMark, sizeof(kInternetZoneMark) - 1, &written, nullptr);
    }
    UniqueFile sealed(::CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!sealed || !::GetFileInformationByHandle(sealed.Get(), &info))
        return false;
    // Another file put in its place in the moment between writing and holding is not ours.
    if (Identity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow} != m_identity ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    m_sealed = std::move(sealed);
    return true;
}

void CWin32DownloadFile::Release() {
    m_writer.Reset();
    m_sealed.Reset();
}
