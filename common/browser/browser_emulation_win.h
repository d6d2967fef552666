#pragma once

// The browser-emulation setting for the running program, against the real registry.

#include <cstdint>

// The major version of the system's "ieframe.dll" (found by the search path); 0 when it or its
// version resource cannot be read.
uint32_t GetBrowserMajorVersion();

// Sets or removes this program's value (named after its executable) for the installed browser.
// False with a browser older than 8 or when the registry refuses. DisableBrowserEmulation is what
// an uninstall switch calls.
bool EnableBrowserEmulation();
bool DisableBrowserEmulation();
