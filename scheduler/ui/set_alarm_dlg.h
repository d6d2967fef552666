#pragma once

// Asks for the alarm's message before an alarm is started or stored as a task.

#include <windows.h>

#include <optional>
#include <string>

#include "common/ui/dialog.h"

class CSetAlarmDlg : public CDialog {
  public:
    // The most a message may hold, in UTF-16 units, so it fits a task's stored parameter.
    static constexpr int kMaxLength = 259;

    explicit CSetAlarmDlg(std::wstring message = std::wstring());

    // The box's text after OK; what the dialog was given otherwise.
    const std::wstring& Message() const { return m_message; }

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

  private:
    std::wstring m_message;
};

// Runs the dialog over `owner`: nothing when cancelled, the program's name for an alarm ("Alarm",
// string 183) when left empty, else the text.
std::optional<std::wstring> AskAlarmMessage(HWND owner);
