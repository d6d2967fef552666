#pragma once

// The user-interface thread's message loop. Message filters see every message before it is
// dispatched (dialog navigation, tab switching) and may swallow it; idle handlers run whenever the
// queue has been emptied. (The filter interface is not named IMessageFilter: <objidl.h> has a COM
// interface of that name.)

#include <windows.h>

#include <vector>

class IWindowMessageFilter {
  public:
    virtual ~IWindowMessageFilter() = default;
    // True when the message was handled and must not be dispatched.
    virtual bool PreTranslateMessage(MSG& msg) = 0;
};

class IIdleHandler {
  public:
    virtual ~IIdleHandler() = default;
    // True when there is more idle work to do.
    virtual bool OnIdle() = 0;
};

class CMessageLoop {
  public:
    // Neither filters nor handlers are owned; adding one twice has no effect.
    void AddMessageFilter(IWindowMessageFilter* filter);
    void RemoveMessageFilter(IWindowMessageFilter* filter);
    void AddIdleHandler(IIdleHandler* handler);
    void RemoveIdleHandler(IIdleHandler* handler);

    // Runs until WM_QUIT and returns its exit code.
    int Run();

    // Offers a message to the filters, most recently added first. Filters may add or remove
    // filters (a window closing removes its own) while they run.
    bool PreTranslateMessage(MSG& msg);
    bool OnIdle();

  private:
    std::vector<IWindowMessageFilter*> m_filters;
    std::vector<IIdleHandler*> m_idleHandlers;
};

// A modal dialog box runs in the system's own loop, which offers its messages to no CMessageLoop.
// While an object of this class lives, each message that loop takes for the dialog manager goes to
// `filter` first (through the thread's WH_MSGFILTER hook, MSGF_DIALOGBOX); a message the filter
// handled is neither translated nor dispatched. Objects on one thread share one hook; the most
// recently made filter is asked first. Belongs to the thread that made it.
class CModalMessageFilter {
  public:
    explicit CModalMessageFilter(IWindowMessageFilter* filter);
    ~CModalMessageFilter();
    CModalMessageFilter(const CModalMessageFilter&) = delete;
    CModalMessageFilter& operator=(const CModalMessageFilter&) = delete;

    // False when the hook could not be set: the filter is then never asked.
    bool Installed() const;

  private:
    IWindowMessageFilter* m_filter;
};

// Dispatches this thread's messages, through `loop`'s filters when there is one, until `object` is
// signalled: a wait that keeps the thread's windows and timers alive, as a modal dialog's loop does.
// True when it was signalled; false when WM_QUIT came first, which is posted again so that the loop
// further out ends as well.
bool DispatchMessagesUntilSignalled(HANDLE object, CMessageLoop* loop);
