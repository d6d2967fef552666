#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

// The one root Internet handle of the process. Each program opens it with its agent name at start-up;
// a client that needs it before that opens it with the default agent. Once open it stays open until
// the process exits and is never reopened: a later Open with another agent changes nothing. A failed
// open leaves nothing behind, so the next caller tries again. Safe to call from any thread.
class CInternetRoot {
  public:
    // The agent of a root that a client opened before its program did.
    static constexpr const wchar_t* kDefaultAgent = L"HttpClient";

    // The root, opened with `agent` if it is not open yet; null when InternetOpenW failed.
    static HINTERNET Open(const std::wstring& agent);
    // The root, opened with the default agent if it is not open yet; null when that failed.
    static HINTERNET Get();
};
