#pragma once

// How the checker fetches its XML answers: one GET that must answer 200, its body decoded to text.
// The Win32 getter goes through WinINet; tests hand in scripted answers.

#include <optional>
#include <string>

class IDocumentGetter {
  public:
    virtual ~IDocumentGetter() = default;
    // The body of a 200 answer to GET `url`, bypassing and not filling the cache; nothing when the
    // request cannot be made or the status is anything but 200.
    virtual std::optional<std::wstring> Get(const std::wstring& url) = 0;
};
