#pragma once

// The program's hidden top-level window and its icon in the notification area. It owns the timers
// that drive the scheduler, the tray menu, the alarm box and the requests a second start forwards;
// the scheduler reaches it through ITrayWindow. One per process (Tray()).

#include <windows.h>

#include <deque>
#include <string>
#include <unordered_map>

#include "common/ui/window.h"
#include "scheduler/core/scheduler_services.h"
#include "scheduler/ui/menu_images.h"
#include "scheduler/ui/sound_player.h"
#include "scheduler/ui/update_checker.h"

class CScheduler;

class CTray : public CWindow, public ITrayWindow {
  public:
    static constexpr const wchar_t* kClassName = L"TivolanTray-9EF72DB2-DE72-4A37-B070-F4C65D09B3D8";
    static constexpr const wchar_t* kTitle = L"Tivolan Tray Window";
    static constexpr UINT kNotifyMessage = WM_USER + 100;
    static constexpr UINT kShowAlarmMessage = WM_USER + 101;
    static constexpr UINT kUpdateResultMessage = WM_USER + 202;
    static constexpr UINT kIconId = 0;

    enum Timer : UINT_PTR { TickTimer = 1, OnlineTimer = 2, UpdateTimer = 3 };

    CTray();
    ~CTray() override;

    // What the tray works for, handed over once by the program before Create: the scheduler it ticks
    // and feeds, and how the product page opens. Both outlive the window.
    struct Services {
        CScheduler& scheduler;
        void (*openProductPage)(HWND owner);
    };
    void Attach(const Services& services) {
        m_scheduler = &services.scheduler;
        m_openProductPage = services.openProductPage;
    }

    // Creates the hidden window: adds the icon, schedules the stored tasks, starts the timers.
    // Null when the window or its icon could not be made, or nothing was attached.
    HWND Create();
    void SetMainWindow(HWND mainWindow) { m_mainWindow = mainWindow; }
    HWND MainWindow() const { return m_mainWindow; }

    // Adds icon `id`, or changes the icon and tooltip of one already added; `icon` (owned from now
    // on) and `tooltip` may each be null to keep what the icon has. False when the shell refused.
    bool SetIcon(UINT id, HICON icon, const std::wstring* tooltip);
    void Enable(bool enable);
    bool IsEnabled() const { return m_enabled; }
    void StartAlarmSound();
    void StopAlarmSound() { m_soundPlayer.Stop(); }

    // ITrayWindow
    void EnableMainWindow(bool enable) override { Enable(enable); }
    void ShowAlarm(const std::wstring& message) override;
    void SetTooltip(const std::wstring& text) override;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct TrayIcon {
        HICON icon = nullptr;
        std::wstring tooltip;
    };

    bool OnCreate();
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void OnNotifyIcon(UINT mouseMessage);
    void ShowMenu();
    bool OnCommand(UINT id);
    LRESULT OnCopyData(const COPYDATASTRUCT& data);
    void OnShowAlarm();
    void StartUpdateCheck();
    void OnUpdateNotify(int outcome);
    void ChooseLanguage(UINT command);
    void Exit();
    void ShowMainWindow();
    bool Notify(DWORD operation, UINT id, const TrayIcon& icon, bool withIcon, bool withTip);

    std::unordered_map<UINT, TrayIcon> m_icons;
    HWND m_mainWindow = nullptr;
    CMenuImages m_menuImages;
    CUpdateChecker m_updateChecker;
    CScheduler* m_scheduler = nullptr;
    void (*m_openProductPage)(HWND owner) = nullptr;
    bool m_enabled = true;
    bool m_mainWasDisabled = false;  // by someone else when Enable(false) came
    bool m_showStartNotice = true;
    bool m_menuOpen = false;
    bool m_manualCheckRunning = false;
    // Each alarm's text until its posted message shows it: two alarms due on the same tick each
    // show their own, and a message no alarm posted finds nothing.
    std::deque<std::wstring> m_pendingAlarms;
    CSoundPlayer m_soundPlayer;
};

CTray& Tray();

// The window message the shell broadcasts when the taskbar has been created anew.
UINT TaskbarCreatedMessage();
