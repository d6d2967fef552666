// The alarm message question run modally under Wine: what OK, an empty box and Cancel hand back,
// and the 259-character limit against a paste.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "common/ui/app_module.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/set_alarm_dlg.h"
#include "tests/wine/dialog_driver.h"

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

class SetAlarmDlgTest : public ::testing::Test {
  protected:
    void SetUp() override { CAppModule::Instance().Init(nullptr, kEnglish); }
    void TearDown() override { CAppModule::Instance().Term(); }
};

bool PutOnClipboard(HWND owner, const std::wstring& text) {
    if (!::OpenClipboard(owner))
        return false;
    ::EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool placed = false;
    if (memory) {
        std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
        ::GlobalUnlock(memory);
        placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!placed)
            ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return placed;
}

void Type(HWND dialog, const wchar_t* text) {
    ::SetDlgItemTextW(dialog, IDC_ALARM_MESSAGE, text);
}

TEST_F(SetAlarmDlgTest, OkHandsBackTheTextOrTheAlarmNameAndCancelAbandons) {
    struct Case {
        const char* name;
        std::function<void(HWND)> answer;
        std::optional<std::wstring> expected;
    };
    const Case cases[] = {
        {"typed",
         [](HWND dialog) {
             Type(dialog, L"Tea");
             ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
         },
         L"Tea"},
        {"left empty", [](HWND dialog) { ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0); },
         L"Alarm"},
        {"Enter in the box",
         [](HWND dialog) {
             Type(dialog, L"Call home");
             ::PostMessageW(::GetDlgItem(dialog, IDC_ALARM_MESSAGE), WM_KEYDOWN, VK_RETURN, 0);
         },
         L"Call home"},
        {"cancelled",
         [](HWND dialog) {
             Type(dialog, L"Tea");
             ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
         },
         std::nullopt},
        {"escape", [](HWND) { ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDialogDriver driver({c.answer});
        EXPECT_EQ(AskAlarmMessage(nullptr), c.expected);
    }
}

TEST_F(SetAlarmDlgTest, PasteIsCutTo259Characters) {
    const std::wstring pasted = std::wstring(150, L'a') + std::wstring(150, L'b');
    bool onClipboard = false;
    size_t limit = 0;
    CDialogDriver driver({[&](HWND dialog) {
        HWND edit = ::GetDlgItem(dialog, IDC_ALARM_MESSAGE);
        limit = static_cast<size_t>(::SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
        onClipboard = PutOnClipboard(dialog, pasted);
        ::SendMessageW(edit, WM_PASTE, 0, 0);
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }});
    CSetAlarmDlg dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    ASSERT_TRUE(onClipboard);
    EXPECT_EQ(limit, 259u);
    EXPECT_EQ(dialog.Message(), pasted.substr(0, 259));
}

TEST_F(SetAlarmDlgTest, GivenMessageIsShownAndKeptOnCancel) {
    std::wstring shown;
    CDialogDriver driver({[&](HWND dialog) {
        shown = ControlText(dialog, IDC_ALARM_MESSAGE);
        Type(dialog, L"changed");
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }});
    const std::wstring longMessage(300, L'x');
    CSetAlarmDlg dialog(longMessage);
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(shown, longMessage.substr(0, 259));
    EXPECT_EQ(dialog.Message(), longMessage);
}

}  // namespace
