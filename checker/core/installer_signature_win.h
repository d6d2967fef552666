#pragma once

// The Authenticode check of a downloaded installer, through the handle the checker holds on it.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The simple display name of the leaf certificate that signed the file open as `file` (read access,
// positioned anywhere), when its embedded signature is intact and the system trusts it
// (WinVerifyTrust, no user interface, revocation checked along the whole chain). Nothing for an
// unsigned, altered or untrusted file. `path` only names the file to the system's providers.
std::optional<std::wstring> TrustedSignerOf(HANDLE file, const std::wstring& path);

// The publishers whose installers the checker starts: the compiled list, or the state key's
// TrustedPublishers in its place.
std::vector<std::wstring> CurrentTrustedPublishers();
