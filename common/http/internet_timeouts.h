#pragma once

#include <windows.h>
#include <wininet.h>

// How long any request of either program waits to connect, to send, and for each piece of the answer
// (WinINet's own defaults let a server that accepts and never answers hold a request for ever).
inline constexpr DWORD kInternetTimeoutMilliseconds = 30000;

// The connect, send and receive time-outs on a root, connection or request handle; handles made from
// a root or a connection take its values. False when one of them could not be set.
bool SetInternetTimeouts(HINTERNET handle);
