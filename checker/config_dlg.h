#pragma once
// The reminder dialog: after the update dialog is cancelled, the user chooses when the next
// announcement may come. OK stores the choice and makes sure the checker runs at log-on; Esc and
// the close box store nothing.

#include "checker/reminder_period.h"
#include "common/platform/registry.h"
#include "common/ui/dialog.h"

class CConfigDlg : public CDialog {
  public:
    // The registry receives "period" and the Run entry; it must outlive the dialog.
    explicit CConfigDlg(IRegistry& registry);

    // The radio button chosen on OK (0 tomorrow, 1 a week, 2 a month); 0 until then.
    int Choice() const { return m_choice; }

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

  private:
    IRegistry& m_registry;
    int m_choice = 0;
};

// The reminder dialog on the current user's registry, for the running checker.
void RunReminderDialog(HWND owner);
