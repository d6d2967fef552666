#pragma once

#include <windows.h>
#include <wininet.h>

#include "common/platform/unique_resource.h"

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::InternetCloseHandle(h); }
};

// Root, connection and request handles of WinINet.
using UniqueInternetHandle = UniqueResource<InternetHandleTraits>;
