#pragma once

#include <string>

// Gives every later request of the embedded browser in this process this user agent, cleaned as
// CleanUserAgent says. Nothing happens when the cleaned agent is empty or "urlmon.dll" or its
// session-option function is missing.
void SetBrowserUserAgent(const std::wstring& agent);
