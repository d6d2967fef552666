#pragma once
// The update dialog: the offered and the installed version, the downloads and pages offered for the
// installed edition, and an optional notification page below the controls. OK opens a page in the
// browser or downloads the installer on a worker thread and starts it; Cancel (asking first while
// a download runs) leads to the reminder dialog.

#include <memory>
#include <string>
#include <vector>

#include "checker/core/download_file_win.h"
#include "checker/core/download_job.h"
#include "checker/core/version_info.h"
#include "common/browser/protected_mode_cookie_sync.h"
#include "common/browser/web_browser2.h"
#include "common/http/http_abort.h"
#include "common/thread/critical_section.h"
#include "common/thread/runnable.h"
#include "common/thread/thread.h"
#include "common/ui/dialog.h"
#include "common/ui/gdi_owners.h"
#include "common/ui/message_loop.h"

class CQPUpdateDlg : public CDialog, private IRunnable, private IWindowMessageFilter {
  public:
    // `info` is the version document to announce; it must outlive the dialog.
    explicit CQPUpdateDlg(CVersionInfo& info);
    ~CQPUpdateDlg() override;

    // The installed version's texts: shown, and the edition that filters the offered items.
    void SetInstalledVersion(std::wstring display, std::wstring spec);

    // Interactive: the user asked, and the dialog comes to the foreground. Background: an
    // announcement nobody asked for, which leaves another program's window in front (the user may be
    // typing there) and flashes its taskbar button instead.
    enum class Activation { Interactive, Background };
    void SetActivation(Activation activation) { m_activation = activation; }

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // The worker's body.
    void Run() override;
    // The keys for the notification page, before the dialog manager takes Tab and the copy keys.
    bool PreTranslateMessage(MSG& msg) override;
    DownloadState RunDownload();

    void FillOfferedItems();
    void AddNotificationPage();
    void ChooseEntry();
    void StartDownload(const CVersionItem& item);
    void OnProgressTimer();
    void OnCancel();
    // Waits for a running worker after asking it to stop, and removes what it wrote.
    void StopDownload();
    // Lets go of the file and removes it and its folder.
    void RemoveDownloadedFile();
    // On the worker: the sealed file is an installer of a trusted publisher.
    bool IsTrustedInstaller() const;
    void PaintMinimised();

    CVersionInfo& m_info;
    std::wstring m_installedDisplay;
    std::wstring m_installedSpec;
    Activation m_activation = Activation::Interactive;
    std::vector<size_t> m_itemOfEntry;  // list position -> index into m_info.items
    UniqueIcon m_icon;

    JCriticalSection m_lock;
    CDownloadJob m_job{m_lock};
    std::wstring m_downloadFolder;
    // Written by the worker while it runs, then held by the dialog until it goes, so that the
    // installer that was checked is the one started.
    CWin32DownloadFile m_file;
    std::vector<std::wstring> m_trustedPublishers;
    CHttpAbort m_abort;
    CThread m_worker;

    std::unique_ptr<CProtectedModeCookieSync> m_cookies;
    std::unique_ptr<CWebBrowser2> m_page;
    // While the page is shown, through the dialog box's own loop.
    std::unique_ptr<CModalMessageFilter> m_pageKeys;
};
