#pragma once

// Works the modal dialog or message box of the calling thread from a thread timer, one step per
// tick, so DoModal and MessageBox can be tested without a user. Steps run only while a visible
// dialog of this thread exists; a dialog still open 10 s after the last step is ended with
// kWatchdogResult, so a dialog that fails to end fails its test instead of hanging the run.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CDialogDriver {
  public:
    using Step = std::function<void(HWND dialog)>;
    static constexpr INT_PTR kWatchdogResult = 99;

    explicit CDialogDriver(std::vector<Step> steps, UINT intervalMilliseconds = 30);
    ~CDialogDriver();
    CDialogDriver(const CDialogDriver&) = delete;
    CDialogDriver& operator=(const CDialogDriver&) = delete;

    size_t StepsRun() const { return m_next; }

    // Called from a step that waits for something: the same step runs again at the next tick. The
    // watchdog counts from the last step that did not wait.
    static void RunAgain();

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::vector<Step> m_steps;
    size_t m_next = 0;
    static constexpr size_t kNoStep = static_cast<size_t>(-1);
    size_t m_running = kNoStep;   // the step being run
    size_t m_runAgain = kNoStep;  // the step that asked to run again
    UINT m_interval;
    DWORD m_lastStepTime = 0;
    UINT_PTR m_timer = 0;
};

// The visible, enabled dialog-class window (dialog or message box) of the calling thread, or null.
HWND FindThreadDialog();
std::wstring ControlText(HWND dialog, int id);
