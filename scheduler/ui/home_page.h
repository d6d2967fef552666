#pragma once

// The Home page: the action and the time, and the four commands made of them. It edits the shared
// settings directly, so the last choice is there at the next start; the scheduler gets the countdowns
// and the repeating tasks.

#include <windows.h>

#include <optional>
#include <string>

#include "scheduler/ui/page_choices.h"
#include "scheduler/ui/page_dialog.h"

class CHomePage : public CPageDialog {
  public:
    CHomePage();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

  private:
    // Reads a number box, puts the value it stands for back into it and returns it.
    int32_t ReadBox(HWND box, BoxBounds bounds);
    // Stores a number box in its setting once it loses the focus.
    void StoreBox(int id);
    // Brings every control into the settings, as each command does first.
    void CollectChoice();
    // Enables the boxes of the chosen time kind and shows the icon of the chosen action.
    void UpdateControls();
    // The alarm's message or the program to run; an empty text for the other actions. Nothing when
    // the user cancelled the question, which ends the command.
    std::optional<std::wstring> AskParameter();

    void Start();
    void ScheduleRepeat();
    void PinChoiceToTaskbar();
    void CreateDesktopShortcut();

    HWND m_afterHours = nullptr;
    HWND m_afterMinutes = nullptr;
    HWND m_atHour = nullptr;
    HWND m_atMinute = nullptr;
    HWND m_actions = nullptr;
};
