#pragma once

// The main window: a modeless dialog holding the tab view with the Home, Schedule and Options pages
// and the link line to the product page. Closing it only hides it; the program lives on in the
// notification area. It takes part in the message loop as a filter (tab switching, then dialog
// navigation in the active page, then in itself) and as an idle handler.

#include <windows.h>

#include "common/ui/dialog.h"
#include "common/ui/message_loop.h"
#include "common/ui/tab_view.h"
#include "scheduler/ui/home_page.h"
#include "scheduler/ui/options_page.h"
#include "scheduler/ui/schedule_page.h"

class CMainDlg : public CDialog, public IWindowMessageFilter, public IIdleHandler {
  public:
    enum Page { HomePage = 0, SchedulePage = 1, OptionsPage = 2 };

    CMainDlg();
    ~CMainDlg() override;

    bool PreTranslateMessage(MSG& msg) override;
    bool OnIdle() override { return false; }

    const CTabView& TabView() const { return m_tabView; }

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnPageActivated(int index);

    CTabView m_tabView;
    CHomePage m_home;
    CSchedulePage m_schedule;
    COptionsPage m_options;
    bool m_initialized = false;
};
