#pragma once

// The Schedule page: every entry the scheduler waits for, one row each in due order (time of day,
// action, how it repeats), and "&Delete" for the selected one. The rows are only a view: each change
// of the list rebuilds them, so row i always stands for entry i.

#include <windows.h>

#include "scheduler/core/schedule_changed.h"
#include "scheduler/ui/page_dialog.h"

class CSchedulePage : public CPageDialog, public CScheduleChanged {
  public:
    CSchedulePage();
    ~CSchedulePage() override;

    void Rebuild();
    void OnScheduleChanged() override { Rebuild(); }

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void DeleteSelected();
    void StopObserving();

    HWND m_list = nullptr;
    bool m_observing = false;
};
