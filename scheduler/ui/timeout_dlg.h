#pragma once

// The last chance before shutting down, restarting or hibernating: a topmost dialog that counts a
// minute down and then ends with IDOK by itself, unless the user cancels first.

#include <windows.h>

#include <cstdint>
#include <optional>

#include "common/ui/dialog.h"
#include "scheduler/core/scheduler_services.h"

class CTimeoutDlg : public CDialog {
  public:
    static constexpr int64_t kCountdownSeconds = 60;
    static constexpr UINT_PTR kTimerId = 2;
    static constexpr UINT kTimerMilliseconds = 1000;

    // The minute starts now, at construction, not when the dialog appears.
    CTimeoutDlg(int32_t action, const IClock& clock);
    ~CTimeoutDlg() override;

    int32_t Action() const { return m_action; }
    int64_t Deadline() const { return m_deadline; }

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    int64_t SecondsLeft();
    void ShowSecondsLeft(int64_t secondsLeft);
    void OnTimer();
    void Finish(INT_PTR result);
    void ReleaseFont();

    int32_t m_action;
    const IClock& m_clock;
    int64_t m_deadline;
    int64_t m_lastNow;
    HFONT m_boldFont = nullptr;
};
