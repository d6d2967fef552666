#pragma once

// A tab strip above a client area in which exactly one page window is visible. Pages are added at
// the end with a title; activating one hides the previous page, shows the new one, gives it the
// focus and tells the parent with a WM_NOTIFY of code kTabViewPageActivated whose NMHDR idFrom is
// the new page index. Ctrl+Tab and Ctrl+Shift+Tab step through the pages, wrapping around, through
// PreTranslateMessage, which the owner calls from its message filter.

#include <windows.h>

#include <string>
#include <vector>

#include "common/ui/window.h"

constexpr UINT kTabViewPageActivated = 0U - 3950U;

class CTabView : public CWindow {
  public:
    ~CTabView() override;

    // A visible child that clips its siblings and children; the pages go in as its children.
    HWND Create(HWND parent, const RECT& rect, UINT controlId = 0);

    int AddPage(HWND page, const std::wstring& title);
    // Does nothing for an index beyond the pages or the page already active.
    void SetActivePage(int index);
    int ActivePage() const { return m_active; }
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    HWND PageWindow(int index) const;
    HWND TabControl() const { return m_tabs; }

    // The next page after `active`, or the previous one with `backwards`, wrapping around.
    static int StepPage(int active, int count, bool backwards);

    // Ctrl+Tab / Ctrl+Shift+Tab pressed anywhere in the window that holds the view.
    bool PreTranslateMessage(const MSG& msg);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    RECT PageRect() const;
    void LayoutPages();

    HWND m_tabs = nullptr;
    std::vector<HWND> m_pages;
    int m_active = -1;
};
