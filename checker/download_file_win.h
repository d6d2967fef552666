#pragma once

#include <windows.h>

#include "checker/download_transfer.h"
#include "common/platform/unique_resource.h"

// The downloaded installer on disk: created or truncated, shared with nobody while it is written.
class CWin32DownloadFile final : public IDownloadFile {
  public:
    CWin32DownloadFile() = default;

    bool Create(const std::wstring& path) override;
    bool Write(const void* data, uint32_t size) override;
    void Close() override;

  private:
    struct FileTraits {
        using Type = HANDLE;
        static Type Empty() { return INVALID_HANDLE_VALUE; }
        static void Close(Type h) { ::CloseHandle(h); }
    };

    UniqueResource<FileTraits> m_file;
};
