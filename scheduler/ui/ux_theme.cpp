#include "scheduler/ui/ux_theme.h"

#include <uxtheme.h>

namespace {

template <typename Function>
Function As(FARPROC address) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

}  // namespace

JUxTheme& JUxTheme::Instance() {
    static JUxTheme theme(L"UxTheme.dll");
    return theme;
}

JUxTheme::JUxTheme(const wchar_t* libraryName) : m_libraryName(libraryName) {}

JUxTheme::~JUxTheme() = default;

HMODULE JUxTheme::Library() {
    std::call_once(m_libraryOnce, [this] { m_library = ::LoadLibraryW(m_libraryName); });
    return m_library;
}

FARPROC JUxTheme::Lookup(std::once_flag& once, FARPROC& address, const char* name) {
    std::call_once(once, [&] {
        if (HMODULE library = Library())
            address = ::GetProcAddress(library, name);
    });
    return address;
}

bool JUxTheme::IsThemeActive() {
    auto function = As<IsThemeActiveFunction>(Lookup(m_isThemeActiveOnce, m_isThemeActive, "IsThemeActive"));
    return function && function() != FALSE;
}

bool JUxTheme::EnableThemeDialogTexture(HWND window, DWORD flags) {
    auto function = As<EnableThemeDialogTextureFunction>(
        Lookup(m_enableTextureOnce, m_enableTexture, "EnableThemeDialogTexture"));
    return function && SUCCEEDED(function(window, flags));
}

bool JUxTheme::SetWindowTheme(HWND window, const wchar_t* appName, const wchar_t* idList) {
    auto function =
        As<SetWindowThemeFunction>(Lookup(m_setWindowThemeOnce, m_setWindowTheme, "SetWindowTheme"));
    return function && SUCCEEDED(function(window, appName, idList));
}

void ApplyTabPageTheme(HWND page) {
    JUxTheme& theme = JUxTheme::Instance();
    if (theme.IsThemeActive())
        theme.EnableThemeDialogTexture(page, ETDT_ENABLETAB);
}
