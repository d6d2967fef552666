#pragma once

// What the download job needs of the network and of the disk, so the job itself stays portable and
// is tested with scripted fakes.

#include <cstdint>
#include <string>

// One HTTP GET of an installer.
class IDownloadTransfer {
  public:
    // Opens a GET that always goes to the server and leaves nothing in the cache. Only http: and
    // https: addresses are accepted; anything else fails here, before any traffic.
    virtual bool Open(const std::wstring& url) = 0;
    // Sends the request without extra headers or body.
    virtual bool Send() = 0;
    // 0 when the status cannot be read.
    virtual uint32_t StatusCode() = 0;
    // The announced Content-Length; 0 when none was announced or it cannot be read.
    virtual uint32_t ContentLength() = 0;
    // One read of at most `size` bytes: the count read, 0 at the end of the body, -1 on failure.
    virtual long Read(void* buffer, uint32_t size) = 0;
    // Closes the request; harmless when nothing is open.
    virtual void Close() = 0;

  protected:
    ~IDownloadTransfer() = default;
};

// The file the installer is written to.
class IDownloadFile {
  public:
    // Creates the file anew for writing, shared with nobody; fails when anything is at the path.
    virtual bool Create(const std::wstring& path) = 0;
    // True only when all `size` bytes were written.
    virtual bool Write(const void* data, uint32_t size) = 0;
    // Stops writing. Harmless when nothing is open.
    virtual void Close() = 0;
    // After the whole body, once closed: holds the very file that was written so that others may read
    // it but not change, rename or delete it, until the owner lets go. False when that fails.
    virtual bool Seal() = 0;

  protected:
    ~IDownloadFile() = default;
};
