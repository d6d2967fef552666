#pragma once

#include <cstddef>
#include <string>

// Where a body's bytes come from: WinINet in the programs, a fake in the tests.
class IByteReader {
  public:
    // One read of at most `size` bytes: the count read, 0 at the end of the body, -1 on failure.
    virtual long Read(char* buffer, size_t size) = 0;

  protected:
    ~IByteReader() = default;
};

struct BodyBytes {
    std::string bytes;
    // A read failed (or the read buffer could not be had); `bytes` holds what arrived before.
    bool failed = false;
};

// The checker reads at most 1023 bytes at a time into a 1024-byte buffer, the scheduler 8192 into
// 8192. Servers and proxies see the same reads as always, so both sizes are kept as they are.
inline constexpr size_t kCheckerReadBuffer = 1024;
inline constexpr size_t kCheckerReadSize = kCheckerReadBuffer - 1;
inline constexpr size_t kSchedulerReadBuffer = 8192;
inline constexpr size_t kSchedulerReadSize = kSchedulerReadBuffer;

// Reads the body in reads of `readSize` bytes through a buffer of `bufferSize` until a read gives
// 0 bytes or fails. A positive `maxBytes` also ends it once the bytes read reach it; reads are never
// shortened for it, so the result may run past the maximum by up to one read.
BodyBytes ReadBody(IByteReader& reader, size_t bufferSize, size_t readSize, long maxBytes);
