// The checker's three dialogs with their real resources, Wine's registry and WinINet against
// tools/loopback-server (the endpoint overrides point at it), worked from a thread timer.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "checker/core/checker_keys.h"
#include "checker/core/checker_state.h"
#include "checker/core/download_folder_win.h"
#include "checker/core/installer_trust.h"
#include "checker/core/run_at_logon.h"
#include "checker/res/resource.h"
#include "checker/ui/config_dlg.h"
#include "checker/ui/qp_check_dlg.h"
#include "checker/ui/qp_update_dlg.h"
#include "common/http/internet_root.h"
#include "common/path/file_system.h"
#include "common/platform/registry_values.h"
#include "common/platform/registry_win.h"
#include "common/ui/app_module.h"
#include "common/ui/resources.h"
#include "common/ui/window.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/loopback_control.h"
#include "tests/wine/test_support.h"

namespace {

// The message box's text is the static control of this identifier.
constexpr int kMessageTextId = 0xFFFF;

void Click(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool IsMessageBox(HWND dialog, UINT textId) {
    return ControlText(dialog, kMessageTextId) == LoadUiString(textId);
}

// The reminder dialog is the only one with the "tomorrow" radio button.
bool IsReminderDialog(HWND dialog) {
    wchar_t className[16] = {};
    ::GetClassNameW(::GetDlgItem(dialog, IDC_REMIND_TOMORROW), className, 16);
    return std::wstring(className) == L"Button";
}

std::vector<std::wstring> ListEntries(HWND list) {
    std::vector<std::wstring> entries;
    const LRESULT count = ::SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(::SendMessageW(list, CB_GETLBTEXTLEN, i, 0)), L'\0');
        ::SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        entries.push_back(text);
    }
    return entries;
}

// The host path of a file of ours, for the loopback server to serve it.
std::string HostPathOf(const std::wstring& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return {};
    char* name = toUnix(path.c_str());
    if (!name)
        return {};
    std::string result = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

// The download folders now in the temporary directory.
std::vector<std::wstring> DownloadFolders() {
    std::vector<std::wstring> folders;
    const std::wstring temp = GetTempDirectory();
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((temp + L"QPCHKUPD*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return folders;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            folders.push_back(temp + found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return folders;
}

std::optional<DWORD> ReadDwordValue(HKEY root, const wchar_t* path, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(root, path, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool ValueExists(HKEY root, const wchar_t* path, const wchar_t* name) {
    return ::RegGetValueW(root, path, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void RemoveCheckerState() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kQuillpackKeyPath);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kQuillpackKeyPath);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKeyPath32);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKeyPath32);
    HKEY run = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kCheckerRunKeyPath, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
        ::RegDeleteValueW(run, kCheckerRunValue);
        ::RegCloseKey(run);
    }
}

class CheckerDialogsTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof(controls);
        controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS;
        ::InitCommonControlsEx(&controls);
        ::CoInitialize(nullptr);
        CAppModule::Instance().Init(::GetModuleHandleW(nullptr),
                                    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        CInternetRoot::Open(L"Quillpack Updater");
    }

    void SetUp() override {
        ASSERT_FALSE(server.BaseUrl().empty())
            << "QP_LOOPBACK_URL is not set; run under tools/loopback-server";
        ASSERT_TRUE(server.Reset());
        RemoveCheckerState();
        RemoveLeftoverDownloadFolders();
        ASSERT_TRUE(DownloadFolders().empty());
        CWin32Registry registry;
        auto key =
            registry.Create(RegistryRoot::CurrentUser, kCheckerStateKeyPath, RegistryAccess::ReadWrite);
        ASSERT_TRUE(key);
        ASSERT_TRUE(WriteString(*key, kServerValue, server.Url(L"/primary")));
        ASSERT_TRUE(WriteString(*key, kFallbackServerValue, server.Url(L"/fallback")));
        // The name tools/sign-test-installers signs with, in place of the maker's.
        static const wchar_t kTestPublisher[] = L"Quillpack Test Publisher\0";
        ASSERT_TRUE(key->Write(kTrustedPublishersValue, REG_MULTI_SZ, reinterpret_cast<const uint8_t*>(kTestPublisher),
                               sizeof(kTestPublisher)));
    }

    void TearDown() override {
        RemoveCheckerState();
        RemoveLeftoverDownloadFolders();
    }

    static void WriteUninstallEntry(DWORD major, DWORD minor, const wchar_t* spec, const wchar_t* display) {
        CWin32Registry registry;
        auto key = registry.Create(RegistryRoot::LocalMachine, kUninstallKeyPath, RegistryAccess::ReadWrite | RegistryAccess::View32);
        ASSERT_TRUE(key);
        ASSERT_TRUE(WriteDword(*key, L"VersionMajor", major));
        ASSERT_TRUE(WriteDword(*key, L"VersionMinor", minor));
        ASSERT_TRUE(WriteString(*key, L"VersionSpec", spec));
        ASSERT_TRUE(WriteString(*key, L"DisplayVersion", display));
    }

    void Answer(const std::string& path, const std::string& parameters) {
        ASSERT_TRUE(server.SetAnswer(path, parameters)) << path << " " << parameters;
    }

    // A version document offering 9.0 with one installer at `path` for every edition.
    static std::string OfferDocument(const std::string& installerUrl) {
        return "<version mode=\"auto\" major=\"9\" minor=\"0\" display=\"9.0\" ratio=\"1\">"
               "<item spec=\"*\" type=\"exe\" url=\"" +
               installerUrl + "\">Full installer</item></version>";
    }

    std::wstring FileUrl(const std::wstring& name) const { return server.Url(L"/files/" + name); }

    static CVersionInfo Offer(const std::wstring& url) {
        CVersionInfo info;
        info.mode = L"auto";
        info.major = 9;
        info.display = L"9.0";
        info.items.push_back({L"Full installer", L"*", L"exe", url});
        return info;
    }

    CLoopbackControl server;
};

TEST_F(CheckerDialogsTest, ReminderStoresTheChosenPeriodAndTheRunEntry) {
    const struct {
        int button;
        DWORD period;
    } cases[] = {{IDC_REMIND_TOMORROW, 0}, {IDC_REMIND_WEEK, 1}, {IDC_REMIND_MONTH, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.period);
        RemoveCheckerState();
        bool startedOnTomorrow = false;
        CDialogDriver driver({
            [&](HWND dialog) {
                startedOnTomorrow = ::IsDlgButtonChecked(dialog, IDC_REMIND_TOMORROW) == BST_CHECKED &&
                                    ::IsDlgButtonChecked(dialog, IDC_REMIND_WEEK) == BST_UNCHECKED;
                ::SendMessageW(::GetDlgItem(dialog, c.button), BM_CLICK, 0, 0);
            },
            [](HWND dialog) { Click(dialog, IDOK); },
        });
        CWin32Registry registry;
        CConfigDlg dialog(registry);
        EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
        EXPECT_TRUE(startedOnTomorrow);
        EXPECT_EQ(ReadDwordValue(HKEY_CURRENT_USER, kCheckerStateKeyPath, kPeriodValue), c.period);
        wchar_t run[600] = {};
        DWORD size = sizeof(run);
        ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, kCheckerRunKeyPath, kCheckerRunValue, RRF_RT_REG_SZ,
                                 nullptr, run, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(std::wstring(run), RunAtLogonCommand(GetModuleFilePath()));
    }
}

TEST_F(CheckerDialogsTest, ReminderClosedWithoutOkStoresNothing) {
    // Esc and the close box both reach the dialog as IDCANCEL; WM_CLOSE is what the close box sends.
    const UINT closings[] = {WM_COMMAND, WM_CLOSE};
    for (const UINT closing : closings) {
        SCOPED_TRACE(closing);
        CDialogDriver driver({
            [](HWND dialog) { ::SendMessageW(::GetDlgItem(dialog, IDC_REMIND_MONTH), BM_CLICK, 0, 0); },
            [closing](HWND dialog) {
                if (closing == WM_COMMAND)
                    Click(dialog, IDCANCEL);
                else
                    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
            },
        });
        CWin32Registry registry;
        CConfigDlg dialog(registry);
        EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
        EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kCheckerStateKeyPath, kPeriodValue));
        EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kCheckerRunKeyPath, kCheckerRunValue));
    }
}

TEST_F(CheckerDialogsTest, UpdateDialogListsWhatSuitsTheInstalledEdition) {
    CVersionInfo info;
    info.display = L"9.1 (beta)";
    info.adUrl = L"";
    info.items = {
        {L"For everyone, with every codec and filter of the pack", L"*", L"exe", FileUrl(L"a.exe")},
        {L"Lite only", L"lite", L"exe", FileUrl(L"b.exe")},
        {L"Pro only", L"Pro", L"exe", FileUrl(L"c.exe")},
        {L"Release notes", L"LITE", L"link", L"http://127.0.0.1/notes"},
    };
    std::vector<std::wstring> entries;
    std::vector<LRESULT> itemData;
    LRESULT selected = -1;
    LRESULT droppedWidth = 0;
    LONG boxWidth = 0;
    std::wstring installedText, offeredText;
    LONG_PTR exStyle = 0;
    bool okEnabled = false;
    bool progressHidden = false;
    bool reminderFollowed = false;
    CDialogDriver driver({
        [&](HWND dialog) {
            HWND list = ::GetDlgItem(dialog, IDC_OFFERED_ITEMS);
            entries = ListEntries(list);
            for (size_t i = 0; i < entries.size(); ++i)
                itemData.push_back(::SendMessageW(list, CB_GETITEMDATA, i, 0));
            selected = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
            droppedWidth = ::SendMessageW(list, CB_GETDROPPEDWIDTH, 0, 0);
            RECT box{};
            ::GetWindowRect(list, &box);
            boxWidth = box.right - box.left;
            installedText = ControlText(dialog, IDC_INSTALLED_VERSION);
            offeredText = ControlText(dialog, IDC_NEW_VERSION);
            exStyle = ::GetWindowLongPtrW(dialog, GWL_EXSTYLE);
            okEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDOK));
            progressHidden = !::IsWindowVisible(::GetDlgItem(dialog, IDC_DOWNLOAD_PROGRESS));
            // Nothing is downloading, so Cancel asks nothing and the reminder comes next.
            Click(dialog, IDCANCEL);
        },
        [&](HWND dialog) {
            reminderFollowed = IsReminderDialog(dialog);
            Click(dialog, IDCANCEL);
        },
    });
    CQPUpdateDlg dialog(info);
    dialog.SetInstalledVersion(L"8.7", L"Lite");
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"For everyone, with every codec and filter of the pack",
                                                  L"Lite only", L"Release notes"}));
    // The open list shows the long label whole rather than cut at the box's width.
    EXPECT_GT(droppedWidth, boxWidth);
    EXPECT_EQ(itemData, (std::vector<LRESULT>{0, 1, 3}));
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(installedText, L"8.7");
    EXPECT_EQ(offeredText, L"9.1 (beta)");
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);
    EXPECT_TRUE(okEnabled);
    EXPECT_TRUE(progressHidden);
    EXPECT_TRUE(reminderFollowed);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kCheckerStateKeyPath, kPeriodValue));
}

TEST_F(CheckerDialogsTest, UpdateDialogWithNothingForTheEditionDisablesOk) {
    CVersionInfo info = Offer(FileUrl(L"pro.exe"));
    info.items[0].spec = L"Pro";
    bool okEnabled = true;
    LRESULT count = -1;
    CDialogDriver driver({
        [&](HWND dialog) {
            okEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDOK));
            count = ::SendDlgItemMessageW(dialog, IDC_OFFERED_ITEMS, CB_GETCOUNT, 0, 0);
            // Enter must not start anything either.
            Click(dialog, IDOK);
        },
        [](HWND dialog) { Click(dialog, IDCANCEL); },
        [](HWND dialog) { Click(dialog, IDCANCEL); },
    });
    CQPUpdateDlg dialog(info);
    dialog.SetInstalledVersion(L"8.7", L"Lite");
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(DownloadFolders().empty());
}

// The DPI a child run of the page test is made to run at, and the variable that says so.
constexpr wchar_t kPageDpiVariable[] = L"QP_PAGE_TEST_DPI";

int ExpectedDpi() {
    wchar_t value[16] = {};
    return ::GetEnvironmentVariableW(kPageDpiVariable, value, 16) ? _wtoi(value) : 96;
}

// Starts a program with our environment; EndProgram waits for it (or ends it), closes its handles
// and gives its exit code.
std::optional<PROCESS_INFORMATION> StartProgram(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process))
        return std::nullopt;
    return process;
}

DWORD EndProgram(const PROCESS_INFORMATION& process, DWORD waitMs) {
    DWORD code = 1;
    if (::WaitForSingleObject(process.hProcess, waitMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &code);
    else
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code;
}

int WindowDpi(HWND window) {
    const auto getDpiForWindow = reinterpret_cast<UINT(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return getDpiForWindow ? static_cast<int>(getDpiForWindow(window)) : 0;
}

TEST_F(CheckerDialogsTest, NotificationPageGrowsTheDialogOnlyForAWebPage) {
    // The page's size and the ten pixels below it are in 96-DPI pixels, scaled to the dialog's DPI.
    const int dpi = ExpectedDpi();
    ASSERT_TRUE(dpi == 96 || dpi == 144) << dpi;
    const auto scaled = [dpi](int pixels) { return pixels * dpi / 96; };
    const struct {
        const char* name;
        std::wstring url;
        int32_t height;
        bool shown;
    } cases[] = {
        {"no page", L"", 200, false},
        {"not a web page", L"file:///C:/windows/win.ini", 200, false},
        {"a web page", server.Url(L"/ad.html"), 120, true},
        {"a web page without a height", server.Url(L"/ad.html"), 0, true},
    };
    std::optional<RECT> plain;  // the dialog without any page
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVersionInfo info = Offer(FileUrl(L"setup.exe"));
        info.adUrl = c.url;
        info.adWidth = 300;
        info.adHeight = c.height;
        RECT rect{}, page{};
        int dialogDpi = 0;
        bool hasPage = false;
        CDialogDriver driver({
            [&](HWND dialog) {
                ::GetWindowRect(dialog, &rect);
                dialogDpi = WindowDpi(dialog);
                HWND host = ::FindWindowExW(dialog, nullptr, L"QPWebBrowserHost", nullptr);
                hasPage = host && ::GetWindowRect(host, &page);
                Click(dialog, IDCANCEL);
            },
            [](HWND dialog) { Click(dialog, IDCANCEL); },
        });
        CQPUpdateDlg dialog(info);
        dialog.SetInstalledVersion(L"8.7", L"Full");
        dialog.DoModal(nullptr);
        EXPECT_EQ(dialogDpi, dpi);
        if (!plain)
            plain = rect;
        EXPECT_EQ(hasPage, c.shown);
        EXPECT_EQ(page.right - page.left, c.shown ? scaled(300) : 0);
        EXPECT_EQ(page.bottom - page.top, c.shown ? scaled(c.height) : 0);
        // Taller by the page, in the same place and as wide: growing does not move the dialog.
        EXPECT_EQ(rect.bottom - rect.top, plain->bottom - plain->top + (c.shown ? scaled(c.height + 10) : 0));
        EXPECT_EQ(rect.left, plain->left);
        EXPECT_EQ(rect.top, plain->top);
        EXPECT_EQ(rect.right, plain->right);
    }
}

// The same cases at 144 DPI: Wine takes the DPI from the user's LogPixels when a process starts, so
// a second run of this program sees it.
TEST_F(CheckerDialogsTest, NotificationPageScalesAt144Dpi) {
    if (ExpectedDpi() != 96)
        GTEST_SKIP() << "the child run itself";
    constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
    const auto setLogPixels = [&](std::optional<DWORD> dpi) {
        return dpi ? ::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &*dpi, sizeof(DWORD))
                   : ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
    };
    const std::optional<DWORD> before = ReadDwordValue(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
    ASSERT_EQ(setLogPixels(144), ERROR_SUCCESS);
    ::SetEnvironmentVariableW(kPageDpiVariable, L"144");
    const std::optional<PROCESS_INFORMATION> child =
        StartProgram(L"\"" + GetModuleFilePath() +
                     L"\" --gtest_filter=CheckerDialogsTest.NotificationPageGrowsTheDialogOnlyForAWebPage");
    ::SetEnvironmentVariableW(kPageDpiVariable, nullptr);
    const DWORD code = child ? EndProgram(*child, 120000) : 1;
    setLogPixels(before);
    ASSERT_TRUE(child);
    EXPECT_EQ(code, 0u) << "the page test at 144 DPI failed";
}

TEST_F(CheckerDialogsTest, BackgroundAnnouncementLeavesAnotherProgramInFront) {
    // Another program's window in front, as when the user is typing in it at log-on.
    const std::optional<PROCESS_INFORMATION> notepad = StartProgram(L"notepad.exe");
    ASSERT_TRUE(notepad);
    ::WaitForInputIdle(notepad->hProcess, 10000);
    HWND other = nullptr;
    for (int i = 0; i < 500 && !other; ++i, ::Sleep(20))
        other = ::FindWindowW(L"Notepad", nullptr);
    ASSERT_NE(other, nullptr);
    const struct {
        const char* name;
        CQPUpdateDlg::Activation activation;
        bool takesForeground;
    } cases[] = {
        {"a background announcement", CQPUpdateDlg::Activation::Background, false},
        {"the user's own check", CQPUpdateDlg::Activation::Interactive, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::SetForegroundWindow(other);
        for (int i = 0; i < 100 && ::GetForegroundWindow() != other; ++i)
            ::Sleep(20);
        ASSERT_EQ(::GetForegroundWindow(), other);
        HWND front = nullptr;
        bool visible = false;
        CDialogDriver driver({
            [&](HWND dialog) {
                front = ::GetForegroundWindow();
                visible = ::IsWindowVisible(dialog) != FALSE;
                Click(dialog, IDCANCEL);
            },
            [](HWND dialog) { Click(dialog, IDCANCEL); },
        });
        CVersionInfo info = Offer(FileUrl(L"setup.exe"));
        CQPUpdateDlg dialog(info);
        dialog.SetInstalledVersion(L"8.7", L"Full");
        dialog.SetActivation(c.activation);
        dialog.DoModal(nullptr);
        EXPECT_TRUE(visible);
        EXPECT_EQ(front == other, !c.takesForeground);
        EXPECT_NE(front, nullptr);
    }
    EndProgram(*notepad, 0);
}

TEST_F(CheckerDialogsTest, DownloadRunsWithAMovingBarAndStartsTheInstaller) {
    // Our stand-in, signed by the trusted test publisher, records beside itself that it was started.
    const std::string standIn = HostPathOf(GetModuleDirectory() + L"\\signed_stand_in.exe");
    ASSERT_FALSE(standIn.empty());
    Answer("/files/QPSetup.exe", "file=" + QueryEncode(standIn) + "&chunk=65536&delay=0.3");
    CVersionInfo info = Offer(FileUrl(L"QPSetup.exe"));
    bool switched = false;
    std::vector<LRESULT> positions;
    CDialogDriver driver(
        {
            [](HWND dialog) { Click(dialog, IDOK); },
            [&](HWND dialog) {
                switched = !::IsWindowVisible(::GetDlgItem(dialog, IDC_OFFERED_ITEMS)) &&
                           ::IsWindowVisible(::GetDlgItem(dialog, IDC_DOWNLOAD_PROGRESS)) &&
                           !::IsWindowEnabled(::GetDlgItem(dialog, IDOK));
            },
            [&](HWND dialog) {
                // Runs until the dialog ends by itself.
                positions.push_back(::SendDlgItemMessageW(dialog, IDC_DOWNLOAD_PROGRESS, PBM_GETPOS, 0, 0));
                CDialogDriver::RunAgain();
            },
        },
        100);
    CQPUpdateDlg dialog(info);
    dialog.SetInstalledVersion(L"8.7", L"Full");
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(switched);
    EXPECT_TRUE(std::any_of(positions.begin(), positions.end(), [](LRESULT p) { return p > 0 && p < 1000; }))
        << "the bar never stood between its ends";
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));

    const std::vector<std::wstring> folders = DownloadFolders();
    ASSERT_EQ(folders.size(), 1u);
    const std::wstring installer = folders[0] + L"\\QPSetup.exe";
    bool started = false;
    for (int i = 0; i < 100 && !started; ++i) {
        started = PathExists(installer + L".started");
        if (!started)
            ::Sleep(100);
    }
    EXPECT_TRUE(started) << "the downloaded installer did not run";
    EXPECT_TRUE(PathExists(installer)) << "the installer must stay where it runs from";
    const std::vector<LoggedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/files/QPSetup.exe");
}

// The loopback server's answer that serves one of the stand-ins beside the test program.
std::string StandIn(const wchar_t* name) {
    return "file=" + QueryEncode(HostPathOf(GetModuleDirectory() + L"\\" + name));
}

TEST_F(CheckerDialogsTest, FailedDownloadsSayStringFiveAndLeaveNoFolder) {
    const struct {
        const char* name;
        std::wstring file;
        std::string answer;
        bool requested;
    } cases[] = {
        {"an unsigned installer", L"unsigned.exe", StandIn(L"partner_stand_in.exe"), true},
        {"an installer of another publisher", L"other.exe", StandIn(L"other_signer_stand_in.exe"), true},
        {"an installer changed after signing", L"altered.exe", StandIn(L"altered_stand_in.exe"), true},
        {"a signed installer cut short without a length", L"cut-signed.exe",
         StandIn(L"signed_stand_in.exe") + "&length=none&cut=300000", true},
        {"a shortcut", L"setup.lnk", StandIn(L"signed_stand_in.exe"), false},
        {"an Internet shortcut", L"QPSetup.url", "text=%5BInternetShortcut%5D", false},
        {"a body cut short", L"cut.exe", "generate=50000&cut=20000", true},
        {"a shorter body than announced", L"short.exe", "generate=20000&length=50000", true},
        {"not found", L"missing.exe", "status=404&text=no", true},
        {"a name that climbs out of the folder", L"..\\..\\evil.exe", "generate=100", false},
        {"a name with a query", L"setup.exe?x=1", "generate=100", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server.Reset());
        Answer("/files/" + std::string(c.file.begin(), c.file.end()), c.answer);
        CVersionInfo info = Offer(FileUrl(c.file));
        bool saidFive = false;
        CDialogDriver driver({
            [](HWND dialog) { Click(dialog, IDOK); },
            [&](HWND dialog) {
                if (!IsMessageBox(dialog, IDS_DOWNLOAD_FAILED)) {
                    CDialogDriver::RunAgain();
                    return;
                }
                saidFive = true;
                Click(dialog, IDOK);
            },
        });
        CQPUpdateDlg dialog(info);
        dialog.SetInstalledVersion(L"8.7", L"Full");
        EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
        EXPECT_TRUE(saidFive);
        EXPECT_TRUE(DownloadFolders().empty());
        EXPECT_EQ(!server.Requests().empty(), c.requested);
        EXPECT_FALSE(PathExists(GetTempDirectory() + L"..\\evil.exe"));
        EXPECT_FALSE(PathExists(GetTempDirectory() + L"evil.exe"));
    }
}

TEST_F(CheckerDialogsTest, CancelDuringADownloadAsksAndYesCleansUpBeforeTheReminder) {
    Answer("/files/slow.exe", "generate=400000&chunk=4096&delay=0.2");
    CVersionInfo info = Offer(FileUrl(L"slow.exe"));
    bool askedOnNo = false, stillOpenAfterNo = false, askedOnYes = false, reminder = false;
    size_t foldersDuringDownload = 0;
    CDialogDriver driver({
        [](HWND dialog) { Click(dialog, IDOK); },
        [&](HWND dialog) {
            foldersDuringDownload = DownloadFolders().size();
            Click(dialog, IDCANCEL);
        },
        [&](HWND dialog) {
            askedOnNo = IsMessageBox(dialog, IDS_CANCEL_UPDATE_QUESTION);
            Click(dialog, IDNO);
        },
        [&](HWND dialog) {
            stillOpenAfterNo =
                ::GetDlgCtrlID(::GetDlgItem(dialog, IDC_DOWNLOAD_PROGRESS)) == IDC_DOWNLOAD_PROGRESS &&
                ::IsWindowVisible(::GetDlgItem(dialog, IDC_DOWNLOAD_PROGRESS));
            Click(dialog, IDCANCEL);
        },
        [&](HWND dialog) {
            askedOnYes = IsMessageBox(dialog, IDS_CANCEL_UPDATE_QUESTION);
            Click(dialog, IDYES);
        },
        [&](HWND dialog) {
            reminder = IsReminderDialog(dialog);
            // The download is gone before the reminder asks anything.
            EXPECT_TRUE(DownloadFolders().empty());
            Click(dialog, IDCANCEL);
        },
    });
    CQPUpdateDlg dialog(info);
    dialog.SetInstalledVersion(L"8.7", L"Full");
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(foldersDuringDownload, 1u);
    EXPECT_TRUE(askedOnNo);
    EXPECT_TRUE(stillOpenAfterNo);
    EXPECT_TRUE(askedOnYes);
    EXPECT_TRUE(reminder);
    EXPECT_TRUE(DownloadFolders().empty());
}

TEST_F(CheckerDialogsTest, CheckDialogWithoutTheUninstallEntrySaysStringThree) {
    bool saidThree = false;
    CDialogDriver driver({[&](HWND dialog) {
        saidThree = IsMessageBox(dialog, IDS_INSTALLED_UNKNOWN);
        Click(dialog, IDOK);
    }});
    CQPCheckDlg dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(saidThree);
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(CheckerDialogsTest, CheckDialogSaysWhatTheCheckFound) {
    const struct {
        const char* name;
        std::string answer;  // for both endpoints
        UINT message;        // 0: the update dialog opens
    } cases[] = {
        {"no endpoint answers", "status=500&text=down", IDS_CHECK_FAILED},
        {"the installed version is the latest",
         "text=" + QueryEncode("<version mode=\"auto\" major=\"8\" minor=\"7\" display=\"8.7\"/>"),
         IDS_LATEST_INSTALLED},
        {"a newer version", "text=" + QueryEncode(OfferDocument("http://127.0.0.1:9/x.exe")), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server.Reset());
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kCheckerStateKeyPath, kCheckedValue);
        WriteUninstallEntry(8, 7, L"Full", L"8.7");
        Answer("/primary/download/version.php", c.answer);
        Answer("/fallback/codec/version.php", c.answer);
        std::wstring shownInstalled;
        bool saidExpected = false;
        bool checkHidden = false;
        std::vector<CDialogDriver::Step> steps{
            [&](HWND dialog) {
                shownInstalled = ControlText(dialog, IDC_INSTALLED_VERSION);
                Click(dialog, IDOK);
            },
        };
        if (c.message != 0) {
            steps.push_back([&](HWND dialog) {
                saidExpected = IsMessageBox(dialog, c.message);
                Click(dialog, IDOK);
            });
        } else {
            steps.push_back([&](HWND dialog) {
                saidExpected = ControlText(dialog, IDC_NEW_VERSION) == L"9.0";
                checkHidden = !::IsWindowVisible(::GetWindow(dialog, GW_OWNER));
                Click(dialog, IDCANCEL);
            });
            steps.push_back([](HWND dialog) { Click(dialog, IDCANCEL); });
        }
        const int64_t before = static_cast<int64_t>(std::time(nullptr));
        CDialogDriver driver(steps);
        CQPCheckDlg dialog;
        EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
        EXPECT_EQ(shownInstalled, L"8.7");
        EXPECT_TRUE(saidExpected);
        if (c.message == 0) {
            EXPECT_TRUE(checkHidden);
        }
        CWin32Registry registry;
        EXPECT_GE(CCheckerState(registry).CheckedTime(), before);
        // The user's own check writes no "loaded": only the background check counts for the day.
        EXPECT_EQ(CCheckerState(registry).LoadedTime(), 0);
    }
}

}  // namespace
