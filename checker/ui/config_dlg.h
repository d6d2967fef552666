#pragma once
// The reminder dialog: after the update dialog is cancelled, the user chooses when the next
// announcement may come. OK stores the choice and makes sure the checker runs at log-on; Esc and
// the close box store nothing.

#include "checker/core/reminder_period.h"
#include "common/platform/registry.h"
#include "common/ui/dialog.h"

class CConfigDlg : public CDialog {
  public:
    // The registry receives "period" and the Run entry; it must outlive the dialog.
    explicit CConfigDlg(IRegistry& registry);

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

  private:
    IRegistry& m_registry;
};

// The reminder dialog on the current user's registry, for the running checker.
void RunReminderDialog(HWND owner);
