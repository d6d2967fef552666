#pragma once

#include <optional>
#include <string>
#include <string_view>

// The name an installer is saved under: the text after the url's last "/" (the whole text when it
// has none), taken as it stands. The url comes from the server's answer, so a name that could reach
// outside the download folder, name a device or a stream, or be stored under another name than the
// one later started gives nothing: empty, "." or "..", any of \ / : * ? " < > |, a control
// character, a trailing dot or space, or a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or
// without an extension). A query string therefore fails too ("?").
std::optional<std::wstring> DownloadFileName(std::wstring_view url);

// folder + "\" + the url's file name; empty when the folder is empty or the name is unsafe, which the
// download job treats as a failure before any request.
std::wstring DownloadFilePath(const std::wstring& folder, std::wstring_view url);
