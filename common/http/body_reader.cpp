#include "common/http/body_reader.h"

#include <memory>
#include <new>

BodyBytes ReadBody(IByteReader& reader, size_t bufferSize, size_t readSize, long maxBytes) {
    BodyBytes body;
    if (readSize == 0 || readSize > bufferSize) {
        body.failed = true;
        return body;
    }
    // A buffer that cannot be had ends the read like a failed read, never with an exception.
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[bufferSize]);
    if (!buffer) {
        body.failed = true;
        return body;
    }
    long remaining = maxBytes;
    for (;;) {
        const long count = reader.Read(buffer.get(), readSize);
        if (count == 0)
            return body;
        // A reader that claims more than it was given room for is as broken as one that fails.
        if (count < 0 || static_cast<size_t>(count) > readSize) {
            body.failed = true;
            return body;
        }
        body.bytes.append(buffer.get(), static_cast<size_t>(count));
        if (maxBytes > 0) {
            remaining -= count;
            if (remaining <= 0)
                return body;
        }
    }
}
