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
    // Creates or truncates the file for writing, shared with nobody.
    virtual bool Create(const std::wstring& path) = 0;
    // True only when all `size` bytes were written.
    virtual bool Write(const void* data, uint32_t size) = 0;
    // Harmless when nothing is open.
    virtual void Close() = 0;

  protected:
    ~IDownloadFile() = default;
};
