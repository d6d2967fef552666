#pragma once

// The Options page: starting with Windows (written at once), the confirmation countdown, forcing hung
// programs to close, and the alarm's sound. The other choices change the shared settings in memory;
// they reach the registry with the next save (every change of tab, "&Start", "Schedule &Repeat").

#include <windows.h>

#include "scheduler/ui/page_dialog.h"

class COptionsPage : public CPageDialog {
  public:
    COptionsPage();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

  private:
    bool IsChecked(int id) const;
    void BrowseForSound();
    int SoundEntryCount() const;

    HWND m_sounds = nullptr;
};
