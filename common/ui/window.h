#pragma once

// The base of the programs' own windows. Create() binds the object to its window before the first
// message arrives (WM_NCCREATE carries `this`), every message goes to the virtual HandleMessage, and
// the binding is cut at WM_NCDESTROY, after which the object may be reused or deleted. No exception
// leaves the window procedure.

#include <windows.h>

#include <string>

struct WindowClass {
    const wchar_t* name;
    UINT style = 0;
    HCURSOR cursor = nullptr;     // nullptr: the arrow
    HBRUSH background = nullptr;  // nullptr: the window paints everything itself
};

class CWindow {
  public:
    CWindow() = default;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;
    // Destroys a window that is still alive, so a window never outlives its object.
    virtual ~CWindow();

    // Registers the class on first use, then creates the window. Null on failure (also when
    // WM_CREATE answered -1).
    HWND Create(const WindowClass& windowClass,
                HWND parent,
                const wchar_t* title,
                DWORD style,
                DWORD exStyle,
                const RECT& rect,
                UINT controlId = 0);
    bool Destroy();

    HWND Hwnd() const { return m_hwnd; }
    bool IsWindow() const { return m_hwnd && ::IsWindow(m_hwnd); }

    // The object bound to a window created by Create(), or null.
    static CWindow* FromHandle(HWND hwnd);

  protected:
    // Default: DefWindowProcW.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the last message (WM_NCDESTROY), when Hwnd() is already null.
    virtual void OnFinalMessage() {}

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
};

// Helpers shared by windows and dialogs.
std::wstring GetWindowTextString(HWND hwnd);
// Centres a window over its owner, or over the work area of its monitor when it has none, keeping
// it on that work area.
void CenterWindow(HWND hwnd);
