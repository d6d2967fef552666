#include "scheduler/ui/alarm_box.h"

#include "common/ui/resources.h"
#include "scheduler/core/alarm_message.h"
#include "scheduler/res/resource.h"

namespace {

// Wine 8 honours MB_TOPMOST only for a box without an owner, and the alarm's box has one: the
// first window this thread activates during the call, which is the box, is made topmost here.
class CTopmostBoxHook {
  public:
    CTopmostBoxHook() {
        t_pending = true;
        m_hook = ::SetWindowsHookExW(WH_CBT, &CTopmostBoxHook::Proc, nullptr, ::GetCurrentThreadId());
    }
    ~CTopmostBoxHook() {
        if (m_hook)
            ::UnhookWindowsHookEx(m_hook);
        t_pending = false;
    }
    CTopmostBoxHook(const CTopmostBoxHook&) = delete;
    CTopmostBoxHook& operator=(const CTopmostBoxHook&) = delete;

  private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && t_pending) {
            t_pending = false;
            ::SetWindowPos(reinterpret_cast<HWND>(wParam), HWND_TOPMOST, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static thread_local bool t_pending;
    HHOOK m_hook = nullptr;
};

thread_local bool CTopmostBoxHook::t_pending = false;

}  // namespace

void CSystemExclamation::Play() {
    ::MessageBeep(MB_ICONEXCLAMATION);
}

void StartAlarmSound(CSoundPlayer& player, const CSettings& settings) {
    CSystemExclamation exclamation;
    StartAlarmSound(player, settings, exclamation);
}

void ShowAlarmBox(HWND owner, const std::wstring& message, CSoundPlayer& player, const CSettings& settings) {
    CSystemExclamation exclamation;
    ShowAlarmBox(owner, message, player, settings, exclamation);
}

void ShowAlarmBox(HWND owner,
                  const std::wstring& message,
                  CSoundPlayer& player,
                  const CSettings& settings,
                  IExclamationSound& exclamation) {
    const std::wstring text = PadAlarmMessage(message);
    const std::wstring caption = LoadUiString(IDS_APP_NAME);
    StartAlarmSound(player, settings, exclamation);

    MSGBOXPARAMSW parameters{};
    parameters.cbSize = sizeof(parameters);
    parameters.hwndOwner = owner;
    parameters.hInstance = ::GetModuleHandleW(nullptr);
    parameters.lpszText = text.c_str();
    parameters.lpszCaption = caption.c_str();
    parameters.dwStyle = MB_OK | MB_TOPMOST | MB_USERICON;
    parameters.lpszIcon = MAKEINTRESOURCEW(IDI_ACTION_ALARM);
    parameters.dwLanguageId = LANGIDFROMLCID(::GetThreadLocale());
    {
        CTopmostBoxHook topmost;
        ::MessageBoxIndirectW(&parameters);
    }

    player.Stop();
}
