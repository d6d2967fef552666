#pragma once

#include <windows.h>

#include "checker/core/download_transfer.h"
#include "common/platform/unique_resource.h"

// The downloaded installer on disk: created anew and shared with nobody while it is written, then
// held read-only (others may read it, nobody may change, rename or delete it) until it is released,
// so that the file that was checked is the file that is started.
class CWin32DownloadFile final : public IDownloadFile {
  public:
    CWin32DownloadFile() = default;

    bool Create(const std::wstring& path) override;
    bool Write(const void* data, uint32_t size) override;
    void Close() override;
    // Reopens the written file for reading only, after checking that it is the same file (the same
    // volume and file number) and no link; on a volume with named streams it first gets the zone
    // mark of a file from the Internet, so that the system's own warnings apply.
    bool Seal() override;

    // The sealed file's handle; INVALID_HANDLE_VALUE before Seal succeeded and after Release.
    HANDLE Sealed() const { return m_sealed.Get(); }
    const std::wstring& Path() const { return m_path; }
    // Lets go of the file (before it is deleted; the installer no longer needs it held once started).
    void Release();

  private:
    struct Identity {
        DWORD volume = 0;
        DWORD high = 0;
        DWORD low = 0;
        bool operator==(const Identity&) const = default;
    };

    std::wstring m_path;
    UniqueFile m_writer;
    UniqueFile m_sealed;
    Identity m_identity;
    bool m_namedStreams = false;
};
