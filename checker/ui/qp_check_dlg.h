#pragma once
// The interactive mode's whole user interface: the installed version, and on OK one check against
// the endpoints. A newer version hands over to the update dialog; otherwise a message says why
// there is nothing to do.

#include <optional>

#include "checker/core/installed_version.h"
#include "checker/core/version_info.h"
#include "common/ui/dialog.h"
#include "common/ui/gdi_owners.h"

class CQPCheckDlg : public CDialog {
  public:
    CQPCheckDlg();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

  private:
    void DoCheck();

    UniqueIcon m_icon;
    InstalledVersion m_installed;
    CVersionInfo m_info;
};
