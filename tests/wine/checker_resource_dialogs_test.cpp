// QPChkUpd2's dialogs (checker/res/dialogs.rc) as compiled into this executable: each template in
// English and Korean with its frame, font, caption and every control in order with its kind and
// styles, the English texts, reading-order tabbing and access keys; then each dialog created from its
// language's template with the kind of texts the code puts in, every text measured against its
// control, and a picture of it for people to look at.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "checker/res/resource.h"
#include "common/platform/resource_string_table_win.h"
#include "dialog_template.h"
#include "resource_test_support.h"
#include "tests/support/png_encoder.h"

namespace {

constexpr LANGID kCheckerLanguages[] = {kEnglish, kKorean};
constexpr UINT kCheckerDialogs[] = {IDD_QPUPDATE, IDD_QPCHECK, IDD_CONFIG};
constexpr DWORD kStatic = static_cast<DWORD>(IDC_STATIC);

enum class Kind { PushButton, DefaultButton, Radio, Text, Icon, ReadOnlyEdit, DropDownList, Progress, Other };

Kind KindOf(const TemplateControl& control) {
    if (control.windowClass.ordinal == 0x80) {
        switch (control.style & BS_TYPEMASK) {
            case BS_PUSHBUTTON:
                return Kind::PushButton;
            case BS_DEFPUSHBUTTON:
                return Kind::DefaultButton;
            case BS_AUTORADIOBUTTON:
                return Kind::Radio;
        }
    } else if (control.windowClass.ordinal == 0x81) {
        if ((control.style & (ES_READONLY | ES_MULTILINE)) == ES_READONLY)
            return Kind::ReadOnlyEdit;
    } else if (control.windowClass.ordinal == 0x82) {
        switch (control.style & SS_TYPEMASK) {
            case SS_ICON:
                return Kind::Icon;
            case SS_LEFT:
                return Kind::Text;
        }
    } else if (control.windowClass.ordinal == 0x85) {
        if ((control.style & 3) == CBS_DROPDOWNLIST)
            return Kind::DropDownList;
    } else if (_wcsicmp(control.windowClass.text.c_str(), PROGRESS_CLASSW) == 0) {
        return Kind::Progress;
    }
    return Kind::Other;
}

const char* KindName(Kind kind) {
    static const char* const names[] = {"push button",    "default button", "radio button", "text", "icon",
                                        "read-only edit", "drop-down list", "progress bar", "other"};
    return names[static_cast<int>(kind)];
}

struct ExpectedControl {
    DWORD id;
    Kind kind;
    const wchar_t* english;  // nullptr: the code fills it in, or it has none
};

struct ExpectedDialog {
    UINT id;
    short cx, cy;
    std::vector<ExpectedControl> controls;  // in template order, which is the reading and tab order
};

const std::vector<ExpectedDialog>& Dialogs() {
    static const std::vector<ExpectedDialog> dialogs = {
        {IDD_QPCHECK,
         211,
         73,
         {
             {kStatic, Kind::Icon, nullptr},
             {kStatic, Kind::Text,
              L"Check for a new Quillpack version.\nDo you want to check for a new version now?"},
             {kStatic, Kind::Text, L"Installed version :"},
             {IDC_INSTALLED_VERSION, Kind::ReadOnlyEdit, nullptr},
             {IDOK, Kind::DefaultButton, L"&OK"},
             {IDCANCEL, Kind::PushButton, L"&Cancel"},
         }},
        {IDD_QPUPDATE,
         243,
         77,
         {
             {kStatic, Kind::Text, L"New version :"},
             {IDC_NEW_VERSION, Kind::ReadOnlyEdit, nullptr},
             {kStatic, Kind::Text, L"Installed version :"},
             {IDC_INSTALLED_VERSION, Kind::ReadOnlyEdit, nullptr},
             {kStatic, Kind::Text, L"Threre is a new version. Download the new version."},
             {IDC_OFFERED_ITEMS, Kind::DropDownList, nullptr},
             {IDC_DOWNLOAD_PROGRESS, Kind::Progress, nullptr},
             {IDOK, Kind::DefaultButton, L"&OK"},
             {IDCANCEL, Kind::PushButton, L"&Cancel"},
         }},
        {IDD_CONFIG,
         190,
         89,
         {
             {kStatic, Kind::Text, L"Choose when to notify you of a new version again."},
             {IDC_REMIND_TOMORROW, Kind::Radio, L"Remind me again &tomorrow"},
             {IDC_REMIND_WEEK, Kind::Radio, L"Remind me again after a &week"},
             {IDC_REMIND_MONTH, Kind::Radio, L"Remind me again after a &month"},
             {IDOK, Kind::DefaultButton, L"&OK"},
         }},
    };
    return dialogs;
}

std::wstring Where(UINT dialog, LANGID language) {
    return L"dialog " + std::to_wstring(dialog) + L", " + LanguageName(language);
}

DialogTemplate TemplateOf(UINT dialog, LANGID language) {
    const auto raw = ExactResource(RT_DIALOG, dialog, language);
    if (!raw)
        return {};
    return ParseDialogTemplate(raw->data, raw->size).value_or(DialogTemplate{});
}

const TemplateControl* Control(const DialogTemplate& dialog, DWORD id) {
    return dialog.Find(id);
}

TEST(CheckerDialogTemplates, EachDialogExistsInExactlyEnglishAndKorean) {
    for (const UINT dialog : kCheckerDialogs) {
        EXPECT_EQ(LanguagesOf(RT_DIALOG, dialog), (std::vector<LANGID>{kEnglish, kKorean})) << dialog;
        for (const LANGID language : kCheckerLanguages) {
            const auto raw = ExactResource(RT_DIALOG, dialog, language);
            ASSERT_TRUE(raw) << Where(dialog, language);
            EXPECT_TRUE(ParseDialogTemplate(raw->data, raw->size)) << Where(dialog, language);
        }
    }
}

// The caption of each language is that language's message-box title, so the dialogs and the
// messages they raise carry one name.
TEST(CheckerDialogTemplates, FramesFontsSizesAndCaptions) {
    for (const ExpectedDialog& expected : Dialogs()) {
        for (const LANGID language : kCheckerLanguages) {
            SCOPED_TRACE(Where(expected.id, language));
            const DialogTemplate dialog = TemplateOf(expected.id, language);
            EXPECT_EQ(dialog.cx, expected.cx);
            EXPECT_EQ(dialog.cy, expected.cy);
            EXPECT_EQ(dialog.style & DS_SHELLFONT, static_cast<DWORD>(DS_SHELLFONT));
            EXPECT_EQ(dialog.typeface, L"MS Shell Dlg");
            EXPECT_EQ(dialog.pointSize, 8);
            const DWORD frame = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
            EXPECT_EQ(dialog.style & frame, frame);
            EXPECT_FALSE(dialog.style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CHILD));
            EXPECT_EQ(dialog.caption,
                      LoadStringInLanguage(nullptr, IDS_MESSAGE_TITLE, language).value_or(L"?"));
            EXPECT_NE(dialog.caption.find(L"Quillpack"), std::wstring::npos);

            // Only the update dialog, opened with no owner from the hidden window, shows itself with
            // a taskbar button of its own and can be minimised.
            const bool update = expected.id == IDD_QPUPDATE;
            EXPECT_EQ((dialog.style & WS_VISIBLE) != 0, update);
            EXPECT_EQ((dialog.style & WS_MINIMIZEBOX) != 0, update);
            EXPECT_EQ((dialog.exStyle & WS_EX_APPWINDOW) != 0, update);
        }
    }
    EXPECT_EQ(TemplateOf(IDD_QPCHECK, kEnglish).caption, L"Quillpack Update");
}

TEST(CheckerDialogTemplates, EveryControlInOrderWithItsKindAndTheEnglishTexts) {
    for (const ExpectedDialog& expected : Dialogs()) {
        for (const LANGID language : kCheckerLanguages) {
            SCOPED_TRACE(Where(expected.id, language));
            const DialogTemplate dialog = TemplateOf(expected.id, language);
            ASSERT_EQ(dialog.controls.size(), expected.controls.size());
            for (size_t i = 0; i < expected.controls.size(); ++i) {
                const TemplateControl& control = dialog.controls[i];
                const ExpectedControl& want = expected.controls[i];
                SCOPED_TRACE(i);
                EXPECT_EQ(control.id, want.id);
                EXPECT_EQ(KindOf(control), want.kind)
                    << KindName(KindOf(control)) << " for " << KindName(want.kind);
                EXPECT_TRUE(control.style & WS_CHILD);
                if (want.kind == Kind::Icon) {
                    EXPECT_EQ(control.text.ordinal, IDI_QPCHKUPD);
                }
                if (language == kEnglish && want.english) {
                    EXPECT_EQ(control.text.text, want.english);
                }
                if (language == kKorean && want.english) {
                    EXPECT_FALSE(control.text.text.empty());
                }
                if (!want.english && want.kind != Kind::Icon) {
                    EXPECT_TRUE(control.text.text.empty() && control.text.ordinal == 0);
                }
            }
        }
    }
}

TEST(CheckerDialogTemplates, StylesTheCodeAndTheKeyboardRelyOn) {
    for (const LANGID language : kCheckerLanguages) {
        SCOPED_TRACE(LanguageName(language));
        for (const ExpectedDialog& expected : Dialogs()) {
            const DialogTemplate dialog = TemplateOf(expected.id, language);
            for (const TemplateControl& control : dialog.controls) {
                const Kind kind = KindOf(control);
                SCOPED_TRACE(Where(expected.id, language) + L", control " + std::to_wstring(control.id));
                if (kind == Kind::ReadOnlyEdit) {
                    EXPECT_EQ(control.style & (ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER),
                              static_cast<DWORD>(ES_AUTOHSCROLL | WS_BORDER))
                        << "a box that only shows a version is no tab stop";
                }
                if (kind == Kind::PushButton || kind == Kind::DefaultButton) {
                    EXPECT_TRUE(control.style & WS_TABSTOP);
                }
                if (kind == Kind::DefaultButton) {
                    EXPECT_EQ(control.id, static_cast<DWORD>(IDOK)) << "OK is the default";
                }
                if (kind == Kind::Text || kind == Kind::Icon || kind == Kind::Progress) {
                    EXPECT_FALSE(control.style & WS_TABSTOP);
                }
                if (kind != Kind::Progress) {
                    EXPECT_TRUE(control.style & WS_VISIBLE);
                }
            }
            // OK opens the button group, so arrows never run from the buttons into the fields.
            EXPECT_TRUE(Control(dialog, IDOK)->style & WS_GROUP);
        }

        // The list of downloads keeps the document's order and scrolls; the progress bar starts
        // hidden in exactly the list's place, as a running download swaps the two.
        const DialogTemplate update = TemplateOf(IDD_QPUPDATE, language);
        const TemplateControl* list = Control(update, IDC_OFFERED_ITEMS);
        const TemplateControl* progress = Control(update, IDC_DOWNLOAD_PROGRESS);
        ASSERT_TRUE(list && progress);
        EXPECT_EQ(list->style & (CBS_SORT | WS_VSCROLL | WS_TABSTOP),
                  static_cast<DWORD>(WS_VSCROLL | WS_TABSTOP));
        EXPECT_FALSE(progress->style & WS_VISIBLE);
        EXPECT_EQ((std::vector<short>{progress->x, progress->y, progress->cx}),
                  (std::vector<short>{list->x, list->y, list->cx}));
        EXPECT_GE(list->cy, 5 * 8) << "the open list shows several entries";

        // The three choices are one radio group that the keyboard enters at the first.
        const DialogTemplate config = TemplateOf(IDD_CONFIG, language);
        size_t first = config.controls.size();
        for (size_t i = 0; i < config.controls.size(); ++i) {
            if (config.controls[i].id == IDC_REMIND_TOMORROW)
                first = i;
        }
        ASSERT_LT(first + 3, config.controls.size());
        EXPECT_EQ(config.controls[first].style & (WS_GROUP | WS_TABSTOP),
                  static_cast<DWORD>(WS_GROUP | WS_TABSTOP));
        for (size_t i = first + 1; i < first + 3; ++i) {
            EXPECT_FALSE(config.controls[i].style & (WS_GROUP | WS_TABSTOP)) << config.controls[i].id;
        }
        EXPECT_TRUE(config.controls[first + 3].style & WS_GROUP) << "the group ends after the third";
    }
}

// Tabbing follows reading order: each tab stop after the first stands on a lower row than the one
// before it, or on the same row further right.
TEST(CheckerDialogTemplates, TabStopsFollowReadingOrder) {
    for (const UINT id : kCheckerDialogs) {
        for (const LANGID language : kCheckerLanguages) {
            const DialogTemplate dialog = TemplateOf(id, language);
            const TemplateControl* previous = nullptr;
            for (const TemplateControl& control : dialog.controls) {
                if (!(control.style & WS_TABSTOP))
                    continue;
                if (previous) {
                    const bool lowerRow = control.y >= previous->y + previous->cy - 2;
                    const bool sameRow =
                        control.y < previous->y + previous->cy && previous->y < control.y + control.cy;
                    EXPECT_TRUE(lowerRow || (sameRow && control.x > previous->x))
                        << Where(id, language) << ": control " << control.id << " after " << previous->id;
                }
                previous = &control;
            }
        }
    }
}

// A repeated access key would make Alt+letter reach only the first of its controls. Korean writes the
// key as "(&X)" at the end, with the English control's letter.
TEST(CheckerDialogTemplates, AccessKeysAreUniqueAndKoreanOnesFollowTheirText) {
    for (const UINT id : kCheckerDialogs) {
        for (const LANGID language : kCheckerLanguages) {
            std::multiset<wchar_t> keys;
            for (const TemplateControl& control : TemplateOf(id, language).controls) {
                if (const wchar_t key = AccessKey(control.text.text))
                    keys.insert(key);
            }
            for (const wchar_t key : keys) {
                EXPECT_EQ(keys.count(key), 1u)
                    << Where(id, language) << ": access key " << std::wstring(1, key);
            }
        }
        const DialogTemplate english = TemplateOf(id, kEnglish);
        const DialogTemplate korean = TemplateOf(id, kKorean);
        ASSERT_EQ(english.controls.size(), korean.controls.size());
        for (size_t i = 0; i < korean.controls.size(); ++i) {
            const std::wstring& text = korean.controls[i].text.text;
            const wchar_t key = AccessKey(text);
            if (!key)
                continue;
            SCOPED_TRACE(Where(id, kKorean) + L": \"" + text + L"\"");
            ASSERT_GE(text.size(), 4u);
            wchar_t upper = key;
            CharUpperBuffW(&upper, 1);
            EXPECT_EQ(text.substr(text.size() - 4), std::wstring(L"(&") + upper + L")");
            EXPECT_EQ(AccessKey(english.controls[i].text.text), key);
        }
    }
    // The choices of the reminder can be reached from the keyboard in both languages.
    for (const LANGID language : kCheckerLanguages) {
        const DialogTemplate config = TemplateOf(IDD_CONFIG, language);
        for (const DWORD id : {IDC_REMIND_TOMORROW, IDC_REMIND_WEEK, IDC_REMIND_MONTH}) {
            EXPECT_NE(AccessKey(Control(config, id)->text.text), 0)
                << Where(IDD_CONFIG, language) << ", " << id;
        }
    }
}

class CheckerCreatedDialogs : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    }
};

// Texts of the kind the code puts in: a display version as an uninstall entry gives it, and offered
// downloads labelled as a version document labels them.
void FillAsTheCodeDoes(HWND dialog, UINT id) {
    SetDlgItemTextW(dialog, IDC_INSTALLED_VERSION, L"2025.11.30 Mega (x64)");
    if (id != IDD_QPUPDATE)
        return;
    SetDlgItemTextW(dialog, IDC_NEW_VERSION, L"2026.01.15 Mega (x64)");
    for (const wchar_t* label :
         {L"Quillpack Mega 2026.01.15", L"Quillpack Standard 2026.01", L"Release notes"})
        SendDlgItemMessageW(dialog, IDC_OFFERED_ITEMS, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
    SendDlgItemMessageW(dialog, IDC_OFFERED_ITEMS, CB_SETCURSEL, 0, 0);
}

TEST_F(CheckerCreatedDialogs, EachTemplateCreatesItsDialogWithTheListShowingAndTheBarHidden) {
    for (const ExpectedDialog& expected : Dialogs()) {
        for (const LANGID language : kCheckerLanguages) {
            SCOPED_TRACE(Where(expected.id, language));
            CCreatedDialog dialog(expected.id, language);
            ASSERT_TRUE(dialog.Handle()) << "error " << GetLastError();
            for (const ExpectedControl& control : expected.controls) {
                if (control.id != kStatic) {
                    EXPECT_TRUE(GetDlgItem(dialog.Handle(), static_cast<int>(control.id))) << control.id;
                }
            }
            wchar_t caption[64] = {};
            GetWindowTextW(dialog.Handle(), caption, 64);
            EXPECT_EQ(std::wstring(caption),
                      LoadStringInLanguage(nullptr, IDS_MESSAGE_TITLE, language).value_or(L"?"));
            if (expected.id != IDD_QPUPDATE)
                continue;
            const HWND list = GetDlgItem(dialog.Handle(), IDC_OFFERED_ITEMS);
            const HWND bar = GetDlgItem(dialog.Handle(), IDC_DOWNLOAD_PROGRESS);
            EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & WS_VISIBLE);
            EXPECT_FALSE(GetWindowLongPtrW(bar, GWL_STYLE) & WS_VISIBLE);
            EXPECT_TRUE(GetWindowLongPtrW(dialog.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
            // The bar covers the closed list's width and sits within its height.
            RECT listRect{}, barRect{};
            GetWindowRect(list, &listRect);
            GetWindowRect(bar, &barRect);
            EXPECT_EQ(barRect.left, listRect.left);
            EXPECT_EQ(barRect.right, listRect.right);
            EXPECT_GE(barRect.top, listRect.top);
            EXPECT_LE(barRect.bottom, listRect.bottom);
        }
    }
}

// The dialog manager's own walk with Tab meets the tab stops in template order, so the order the
// template test checks is the order the user gets; it starts where the dialog puts the focus when it
// opens: on what there is to do.
TEST_F(CheckerCreatedDialogs, TabWalksTheControlsInTemplateOrder) {
    const struct {
        UINT dialog;
        int focus;
    } firstFocus[] = {
        {IDD_QPCHECK, IDOK}, {IDD_QPUPDATE, IDC_OFFERED_ITEMS}, {IDD_CONFIG, IDC_REMIND_TOMORROW}};
    for (const ExpectedDialog& expected : Dialogs()) {
        for (const LANGID language : kCheckerLanguages) {
            SCOPED_TRACE(Where(expected.id, language));
            CCreatedDialog dialog(expected.id, language);
            ASSERT_TRUE(dialog.Handle());
            std::vector<int> wanted;
            for (const TemplateControl& control : TemplateOf(expected.id, language).controls) {
                if ((control.style & (WS_TABSTOP | WS_VISIBLE)) == (WS_TABSTOP | WS_VISIBLE))
                    wanted.push_back(static_cast<int>(control.id));
            }
            ASSERT_FALSE(wanted.empty());
            for (const auto& first : firstFocus) {
                if (first.dialog == expected.id) {
                    EXPECT_EQ(wanted.front(), first.focus);
                    EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(dialog.Handle(), nullptr, FALSE)), first.focus);
                }
            }
            std::vector<int> walked;
            HWND item = GetDlgItem(dialog.Handle(), wanted.front());
            for (size_t step = 0; step < wanted.size(); ++step) {
                walked.push_back(GetDlgCtrlID(item));
                item = GetNextDlgTabItem(dialog.Handle(), item, FALSE);
            }
            EXPECT_EQ(walked, wanted);
            EXPECT_EQ(GetDlgCtrlID(item), wanted.front()) << "the walk comes round";
        }
    }
}

TEST_F(CheckerCreatedDialogs, NoTextIsClippedAndNoControlOverlapsAnother) {
    for (const UINT id : kCheckerDialogs) {
        for (const LANGID language : kCheckerLanguages) {
            CCreatedDialog dialog(id, language);
            ASSERT_TRUE(dialog.Handle()) << Where(id, language);
            FillAsTheCodeDoes(dialog.Handle(), id);
            for (const std::wstring& clipped : ClippedTexts(dialog.Handle())) {
                ADD_FAILURE() << Where(id, language) << ": " << clipped;
            }
            for (const std::wstring& fault : LayoutFaults(dialog.Handle())) {
                ADD_FAILURE() << Where(id, language) << ": " << fault;
            }
        }
    }
}

// What the screen shows in `frame`, top row first as blue, green, red, unused bytes. The screen, not
// PrintWindow: Wine prints a dialog's background without its controls.
std::vector<BYTE> CaptureScreen(const RECT& frame) {
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<BYTE> pixels;
    if (section && bits) {
        const HGDIOBJ old = SelectObject(dc, section);
        if (BitBlt(dc, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY)) {
            GdiFlush();
            const auto* first = static_cast<const BYTE*>(bits);
            pixels.assign(first, first + static_cast<size_t>(width) * height * 4);
        }
        SelectObject(dc, old);
    }
    if (section)
        DeleteObject(section);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Lets the windows of this thread paint for `milliseconds`.
void PumpMessages(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (GetTickCount64() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

// The shots are taken by a second run of this program: with no window manager on the test display,
// Wine draws a window's caption and frame itself only for a program whose "Decorated" setting is off,
// and it reads that setting when the program starts. The setting is Wine's own, for this executable's
// name only.
constexpr wchar_t kShotsChild[] = L"QP_SCREENSHOT_CHILD";
constexpr char kShotsFilter[] = "--gtest_filter=CheckerCreatedDialogs.ScreenshotsInTheLocalesLanguage";

const struct {
    UINT id;
    const char* name;
} kShots[] = {{IDD_QPCHECK, "check"}, {IDD_QPUPDATE, "update"}, {IDD_CONFIG, "reminder"}};

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path;
}

bool SetOwnWindowsUndecorated() {
    const std::wstring path = OwnPath();
    const std::wstring key =
        L"Software\\Wine\\AppDefaults\\" + path.substr(path.find_last_of(L'\\') + 1) + L"\\X11 Driver";
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                        nullptr))
        return false;
    const LSTATUS status = RegSetValueExW(handle, L"Decorated", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(L"N"), 2 * sizeof(wchar_t));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

// Runs this program again for the shots alone and gives its exit code, or -1.
int RunShotsChild() {
    std::wstring commandLine = L"\"" + OwnPath() + L"\" ";
    for (const char* c = kShotsFilter; *c; ++c)
        commandLine.push_back(static_cast<wchar_t>(*c));
    SetEnvironmentVariableW(kShotsChild, L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableW(kShotsChild, nullptr);
    if (!started)
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::string ShotPath(const char* folder, const char* name, LANGID language) {
    return std::string(folder) + "/checker-" + name + "-" + (language == kKorean ? "ko" : "en") + ".png";
}

// With QP_SCREENSHOT_DIR set, each dialog in the language of the locale the test runs in (Hangul needs
// the Korean one) is saved as checker-<check|update|reminder>-<en|ko>.png for a person to look at.
TEST_F(CheckerCreatedDialogs, ScreenshotsInTheLocalesLanguage) {
    const char* folder = std::getenv("QP_SCREENSHOT_DIR");
    if (!folder || !*folder)
        GTEST_SKIP() << "QP_SCREENSHOT_DIR is not set";
    const LANGID language = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_KOREAN ? kKorean : kEnglish;

    if (!GetEnvironmentVariableW(kShotsChild, nullptr, 0)) {
        CreateDirectoryA(folder, nullptr);
        for (const auto& shot : kShots)
            DeleteFileA(ShotPath(folder, shot.name, language).c_str());
        ASSERT_TRUE(SetOwnWindowsUndecorated());
        ASSERT_EQ(RunShotsChild(), 0);
        for (const auto& shot : kShots) {
            std::ifstream file(ShotPath(folder, shot.name, language), std::ios::binary);
            char signature[8] = {};
            file.read(signature, 8);
            EXPECT_TRUE(file && std::memcmp(signature, "\x89PNG\r\n\x1a\n", 8) == 0) << shot.name;
        }
        return;
    }

    for (const auto& shot : kShots) {
        SCOPED_TRACE(shot.name);
        CCreatedDialog dialog(shot.id, language);
        ASSERT_TRUE(dialog.Handle());
        FillAsTheCodeDoes(dialog.Handle(), shot.id);
        if (shot.id == IDD_CONFIG)
            CheckRadioButton(dialog.Handle(), IDC_REMIND_TOMORROW, IDC_REMIND_MONTH, IDC_REMIND_TOMORROW);
        SetWindowPos(dialog.Handle(), HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dialog.Handle());
        RedrawWindow(dialog.Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages(300);
        RECT frame{};
        GetWindowRect(dialog.Handle(), &frame);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        const std::vector<BYTE> pixels = CaptureScreen(frame);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(width) * height * 4);
        // Something was drawn: a caption, a face and text make many colours.
        std::set<DWORD> colours;
        for (size_t i = 0; i < pixels.size(); i += 4)
            colours.insert(pixels[i] | pixels[i + 1] << 8 | pixels[i + 2] << 16);
        EXPECT_GT(colours.size(), 8u);

        const std::vector<std::uint8_t> png = EncodePng24(width, height, pixels);
        const std::string path = ShotPath(folder, shot.name, language);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        file.close();
        EXPECT_TRUE(file) << path;
    }
}

}  // namespace
