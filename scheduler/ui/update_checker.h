#pragma once

// Tivolan's update check on a worker thread. The tray window owns one for the life of the program:
// it starts the worker, which asks the endpoint and posts the outcome back, and then, on the
// user-interface thread, has the answer accepted and decides whether to tell the user. The user's own
// check ("Check &Update") runs on a short-lived checker of its own, to its end, with message boxes.
// A stop request ends a request in progress at once, whatever the server is doing.

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

#include "common/http/http_abort.h"
#include "common/thread/critical_section.h"
#include "common/thread/jthread.h"
#include "scheduler/core/crt_clock.h"
#include "scheduler/core/update_check.h"
#include "scheduler/core/update_fetcher_win.h"
#include "scheduler/core/update_info.h"

class CUpdateChecker : public JThread {
  public:
    // Posted to the bound window when the worker's check has ended; wParam is the UpdateOutcome.
    static constexpr UINT kResultMessage = WM_USER + 202;

    // Reads the last check's time from the settings, the program's product version from its own
    // version resource, the user-interface language (string 173), the system's language and the
    // endpoints (with their registry overrides). User-interface thread.
    explicit CUpdateChecker(HWND window = nullptr);
    // With a fetcher of the caller's, which must outlive the checker.
    CUpdateChecker(HWND window, IUpdateFetcher& fetcher);
    ~CUpdateChecker() override;

    void Bind(HWND window);
    void SetLanguage(const std::wstring& lang);

    // The worker's body: a background check (daily gate included) whose outcome is posted to the
    // bound window. Nothing is posted while no window is bound, nor after a stop request.
    void Run() override;
    // Also ends the request in progress by closing its handles.
    void RequestStop() override;

    // The outcome of the worker's last check, once, after the worker has finished it; nothing while
    // it runs, before it was started, after a stop, or once taken. The result message carries the
    // outcome too, but anyone can post a message: this is what the window acts on.
    std::optional<UpdateOutcome> TakeResult();

    // Under the lock for its whole length, network included.
    UpdateOutcome Check(bool force);

    // Reads the kept answer into Info() and the process's advertisement record; once read, the
    // check's time is stored as the settings' lastUpdateCheck and saved. User-interface thread.
    bool Accept();
    bool ShouldNotify(bool force) const;
    bool IsRestricted() const;
    const UpdateInfo& Info() const { return m_info; }

    // The whole interactive check with its message boxes, returning when the user is done. The
    // request runs on this checker's worker while the calling thread goes on dispatching its messages
    // (through the application's message filters), so its windows and timers keep working however
    // long the server takes. A WM_QUIT that arrives meanwhile stops the request and ends the check
    // without a message (and is posted again). User-interface thread.
    void RunManualCheck();
    // "A newer version is available": OK opens the address when it is a web address; Cancel by a
    // user who must update closes the bound window, which ends the program. Asked once at a time.
    void AskToUpdate();

  protected:
    // The message boxes and the shell, replaceable so the interactive steps can be driven in tests.
    virtual int ShowMessage(const std::wstring& text, UINT flags);
    virtual void OpenAddress(const std::wstring& address);

    void OnStarting() override;

  private:
    // The forced check on the worker, for the user's check; nothing when WM_QUIT came first.
    std::optional<UpdateOutcome> FetchWhileDispatching();
    // The program's version, as the constructor read it.
    std::wstring Version() const;

    mutable JCriticalSection m_lock;
    CCrtClock m_clock;
    CHttpAbort m_abort;
    CHttpUpdateFetcher m_httpFetcher{&m_abort};
    CUpdateCheck m_check;  // lastCheck, version, lang, response: guarded by m_lock
    UpdateInfo m_info;
    HWND m_window = nullptr;
    bool m_busy = false;
    // Set on the user-interface thread before the worker starts: the user's forced check, not posted.
    bool m_manualRun = false;
    // Written by the worker once its check is over, before it posts.
    std::atomic<int> m_result{0};
    std::atomic<bool> m_resultReady{false};
};

// The system's language as its ISO 639 name ("en", "ko"); empty when it cannot be read.
std::wstring SystemLanguageName();

// The compiled-in endpoints with the registry's overrides in their place.
UpdateEndpoints ConfiguredUpdateEndpoints();

// "Check &Update": a checker made for this one check, bound to the tray window.
void RunManualUpdateCheck(HWND tray);
