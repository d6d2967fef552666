#pragma once

// The background checker's hidden window. It never shows itself: it takes the single-instance
// mutex when it is created, waits (timer 10, every 3 s) until no document was loaded today and the
// machine is on-line, starts the worker once, and closes itself (timer 11) once the worker has
// ended, unless the worker asked for an announcement, which runs first. While the announcement is
// open the window cannot be closed.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "checker/core/check_thread.h"
#include "checker/core/checker_instance_mutex_win.h"
#include "checker/core/crt_local_calendar.h"
#include "checker/core/version_info.h"
#include "common/ui/window.h"

class CQPCheckWnd : public CWindow {
  public:
    static constexpr const wchar_t* kClassName = L"QuillpackUpdaterClass";
    static constexpr const wchar_t* kTitle = L"Quillpack Update Check";
    static constexpr UINT kStartCheckInterval = 3000;
    static constexpr UINT kCloseWhenDoneInterval = 1000;

    // Shows the new version to the user and returns when they are done with it. The texts are the
    // window's own copies of the installed version's.
    using Announcer = std::function<
        void(CVersionInfo& info, const std::wstring& installedDisplay, const std::wstring& installedSpec)>;

    // `afterClose` runs once the window has been destroyed by a WM_CLOSE it accepted. The stored
    // "loaded" time is read here.
    CQPCheckWnd(Announcer announcer,
                std::function<void()> afterClose,
                CCheckerInstanceMutex& mutex = CCheckerInstanceMutex::Process());
    ~CQPCheckWnd() override;

    // Null when another background checker holds the mutex or the window could not be made.
    HWND Create();
    // The main window's end ends the thread's message loop.
    void SetMainWindow(bool isMain) { m_isMainWindow = isMain; }

    CCheckThread& Worker() { return m_worker; }
    int64_t LoadedTime() const { return m_loadedTime; }
    bool IsUpdateDialogOpen() const { return m_updateDialogOpen; }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnNewVersion();
    bool TryStartCheck();

    CCheckThread m_worker;
    int64_t m_loadedTime = 0;
    bool m_updateDialogOpen = false;
    bool m_isMainWindow = false;
    Announcer m_announcer;
    std::function<void()> m_afterClose;
    CCheckerInstanceMutex& m_mutex;
    CCrtLocalCalendar m_calendar;
};
