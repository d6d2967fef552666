#pragma once

// The visual-theme calls of "UxTheme.dll", reached at run time so that the program still starts
// where the library or one of its entries is missing; the calls then answer false and the windows
// keep the classic look.

#include <windows.h>

#include <mutex>

class JUxTheme {
  public:
    // The process's one object, made on first use.
    static JUxTheme& Instance();

    // Another library in place of "UxTheme.dll"; for checking how the calls behave without it.
    explicit JUxTheme(const wchar_t* libraryName);
    virtual ~JUxTheme();
    JUxTheme(const JUxTheme&) = delete;
    JUxTheme& operator=(const JUxTheme&) = delete;

    // False also when the library or the entry is missing.
    bool IsThemeActive();
    bool EnableThemeDialogTexture(HWND window, DWORD flags);
    bool SetWindowTheme(HWND window, const wchar_t* appName, const wchar_t* idList);

  private:
    using IsThemeActiveFunction = BOOL(WINAPI*)();
    using EnableThemeDialogTextureFunction = HRESULT(WINAPI*)(HWND, DWORD);
    using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);

    // The library, loaded on the first call that needs it and never freed: a themed window may
    // still call into it while the process ends.
    HMODULE Library();
    FARPROC Lookup(std::once_flag& once, FARPROC& address, const char* name);

    const wchar_t* m_libraryName;
    std::once_flag m_libraryOnce;
    HMODULE m_library = nullptr;
    std::once_flag m_isThemeActiveOnce;
    FARPROC m_isThemeActive = nullptr;
    std::once_flag m_enableTextureOnce;
    FARPROC m_enableTexture = nullptr;
    std::once_flag m_setWindowThemeOnce;
    FARPROC m_setWindowTheme = nullptr;
};

// Gives a tab page the tab control's themed background when a theme is active. The pages call it
// first thing, before they place their controls.
void ApplyTabPageTheme(HWND page);
