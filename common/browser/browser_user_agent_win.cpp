#include "common/browser/browser_user_agent_win.h"

#include <windows.h>

#include <string>

#include "common/browser/browser_user_agent.h"
#include "common/platform/unique_resource.h"

namespace {

using UrlMkSetSessionOptionFunction = HRESULT(WINAPI*)(DWORD option,
                                                       LPVOID buffer,
                                                       DWORD length,
                                                       DWORD reserved);

constexpr DWORD kUserAgentRefresh = 0x10000002;  // URLMON_OPTION_USERAGENT_REFRESH
constexpr DWORD kUserAgent = 0x10000001;         // URLMON_OPTION_USERAGENT

// urlmon takes the agent as a narrow string; it is converted with the code page of this thread's
// locale, the one the thread's other narrow texts use, which need not be the system's.
std::string ToAnsi(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string ansi(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size,
                          nullptr, nullptr);
    return ansi;
}

}  // namespace

void SetBrowserUserAgent(const std::wstring& agent) {
    const std::wstring clean = CleanUserAgent(agent);
    if (clean.empty())
        return;
    UniqueModule urlmon(::LoadLibraryW(L"urlmon.dll"));
    if (!urlmon)
        return;
    const auto setOption = reinterpret_cast<UrlMkSetSessionOptionFunction>(
        reinterpret_cast<void*>(::GetProcAddress(urlmon.Get(), "UrlMkSetSessionOption")));
    if (!setOption)
        return;
    setOption(kUserAgentRefresh, nullptr, 0, 0);
    std::string ansi = ToAnsi(clean);
    setOption(kUserAgent, ansi.data(), static_cast<DWORD>(ansi.size()), 0);
    // The option lives in urlmon's memory: freed here, the library would take it along when no one
    // else had it loaded, before the browser that is to use it loads it again. It stays loaded.
    urlmon.Release();
}
