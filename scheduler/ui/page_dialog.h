#pragma once

// A page of the main window's tab view: a child dialog built from its resource. Escape pressed on
// a page goes to the main window, which hides itself, as it would from any of its own controls.

#include "common/ui/dialog.h"

class CPageDialog : public CDialog {
  public:
    using CDialog::CDialog;

  protected:
    bool OnCommand(int id, int code, HWND control) override;
};
