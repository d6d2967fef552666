#include "scheduler/ui/options_page.h"

#include <string>

#include "common/path/path.h"
#include "common/ui/resources.h"
#include "scheduler/core/run_at_log_on_win.h"
#include "scheduler/core/settings_win.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/open_file_dialog.h"
#include "scheduler/ui/page_choices.h"
#include "scheduler/ui/tray.h"
#include "scheduler/ui/ux_theme.h"

namespace {

void AddEntry(HWND list, const std::wstring& text) {
    ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

COptionsPage::COptionsPage() : CPageDialog(IDD_OPTIONS) {}

BOOL COptionsPage::OnInitDialog() {
    ApplyTabPageTheme(Hwnd());
    m_sounds = Item(IDC_SOUND_LIST);
    const CSettings& settings = Settings();

    ::CheckDlgButton(Hwnd(), IDC_RUN_AT_LOG_ON, IsRunAtLogOn() ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(Hwnd(), IDC_CONFIRM, settings.confirm ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(Hwnd(), IDC_FORCE_IF_HUNG, settings.forceIfHung ? BST_CHECKED : BST_UNCHECKED);

    AddEntry(m_sounds, LoadUiString(IDS_SOUND_NONE));
    AddEntry(m_sounds, LoadUiString(IDS_SOUND_DEFAULT));
    if (!settings.soundFile.empty())
        AddEntry(m_sounds, FileNameOfPath(settings.soundFile));
    ::SendMessageW(m_sounds, CB_SETCURSEL, SoundListSelection(settings.alarmSound, SoundEntryCount()), 0);
    return TRUE;
}

bool COptionsPage::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case IDC_RUN_AT_LOG_ON:
            if (code == BN_CLICKED)
                SetRunAtLogOn(IsChecked(IDC_RUN_AT_LOG_ON));
            return true;
        case IDC_CONFIRM:
            if (code == BN_CLICKED)
                Settings().confirm = IsChecked(IDC_CONFIRM);
            return true;
        case IDC_FORCE_IF_HUNG:
            if (code == BN_CLICKED)
                Settings().forceIfHung = IsChecked(IDC_FORCE_IF_HUNG);
            return true;
        case IDC_SOUND_LIST:
            if (code == CBN_SELCHANGE) {
                Tray().StopAlarmSound();
                const LRESULT selection = ::SendMessageW(m_sounds, CB_GETCURSEL, 0, 0);
                if (selection >= 0)
                    Settings().alarmSound = AlarmSoundOfSelection(static_cast<int>(selection));
            }
            return true;
        case IDC_PLAY_SOUND:
            if (code == BN_CLICKED)
                Tray().StartAlarmSound();
            return true;
        case IDC_BROWSE_SOUND:
            if (code == BN_CLICKED)
                BrowseForSound();
            return true;
        default:
            return CPageDialog::OnCommand(id, code, control);
    }
}

bool COptionsPage::IsChecked(int id) const {
    return ::IsDlgButtonChecked(Hwnd(), id) == BST_CHECKED;
}

int COptionsPage::SoundEntryCount() const {
    return static_cast<int>(::SendMessageW(m_sounds, CB_GETCOUNT, 0, 0));
}

void COptionsPage::BrowseForSound() {
    Tray().StopAlarmSound();
    const std::optional<std::wstring> path =
        AskOpenFile(::GetActiveWindow(), IDS_BROWSE_SOUND_TITLE, IDS_SOUND_FILTER);
    if (!path)
        return;
    CSettings& settings = Settings();
    settings.soundFile = *path;
    if (SoundEntryCount() > kSoundEntryFile)
        ::SendMessageW(m_sounds, CB_DELETESTRING, kSoundEntryFile, 0);
    AddEntry(m_sounds, FileNameOfPath(*path));
    ::SendMessageW(m_sounds, CB_SETCURSEL, kSoundEntryFile, 0);
    settings.alarmSound = -1;
}
