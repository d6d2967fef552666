#include "scheduler/ui/schedule_page.h"

#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "common/ui/resources.h"
#include "scheduler/core/settings_win.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/tivolan_app.h"
#include "scheduler/ui/ux_theme.h"

namespace {

constexpr DWORD kListStyles = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
constexpr int kHeaderPadding = 15;

struct Column {
    UINT title;
    int width;
};
constexpr Column kColumns[] = {{IDS_COLUMN_TIME, 80}, {IDS_COLUMN_TASK, 150}, {IDS_COLUMN_REPEAT, 150}};

void SetCellText(HWND list, int row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

CSchedulePage::CSchedulePage() : CPageDialog(IDD_SCHEDULE) {}

CSchedulePage::~CSchedulePage() {
    StopObserving();
}

BOOL CSchedulePage::OnInitDialog() {
    ApplyTabPageTheme(Hwnd());
    m_list = Item(IDC_SCHEDULE_LIST);
    ::SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, kListStyles, kListStyles);
    JUxTheme::Instance().SetWindowTheme(m_list, L"explorer", nullptr);

    int index = 0;
    for (const Column& column : kColumns) {
        std::wstring title = LoadUiString(column.title);
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        header.pszText = title.data();
        header.cx = static_cast<int>(::SendMessageW(m_list, LVM_GETSTRINGWIDTHW, 0,
                                                    reinterpret_cast<LPARAM>(title.c_str()))) +
                    kHeaderPadding;
        header.iSubItem = index;
        ::SendMessageW(m_list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&header));
        ++index;
    }
    index = 0;
    for (const Column& column : kColumns)
        ::SendMessageW(m_list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index++), column.width);

    Scheduler().AddObserver(this);
    m_observing = true;
    Rebuild();
    return TRUE;
}

void CSchedulePage::Rebuild() {
    if (!m_list)
        return;
    ::SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    const CScheduler& scheduler = Scheduler();
    int row = 0;
    for (const ScheduleEntry& entry : scheduler.Entries()) {
        std::wstring time = scheduler.TimeOfDayText(entry.due);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = time.data();
        if (::SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) < 0)
            break;
        SetCellText(m_list, row, 1, ActionTexts().ActionName(entry.action));
        std::wstring repeat;
        try {
            repeat = scheduler.DescribeRepeat(entry);
        } catch (const std::invalid_argument&) {
            // The scheduler keeps every task index valid; a row without its repeat text is still right.
        }
        SetCellText(m_list, row, 2, repeat);
        ++row;
    }
}

bool CSchedulePage::OnCommand(int id, int code, HWND control) {
    if (id == IDC_DELETE) {
        if (code == BN_CLICKED)
            DeleteSelected();
        return true;
    }
    return CPageDialog::OnCommand(id, code, control);
}

std::optional<LRESULT> CSchedulePage::HandleMessage(UINT message, WPARAM, LPARAM) {
    if (message == WM_DESTROY) {
        StopObserving();
        m_list = nullptr;
    }
    return std::nullopt;
}

void CSchedulePage::DeleteSelected() {
    const LRESULT selected = ::SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (selected < 0)
        return;
    CScheduler& scheduler = Scheduler();
    // The rows mirror the list; a row beyond it can only be a stale view, which the rebuild mends.
    if (static_cast<size_t>(selected) >= scheduler.Entries().size()) {
        Rebuild();
        return;
    }
    scheduler.Remove(static_cast<size_t>(selected));
    Rebuild();
    scheduler.UpdateTrayTip();
    SaveSettings(true);
}

void CSchedulePage::StopObserving() {
    if (m_observing) {
        Scheduler().RemoveObserver(this);
        m_observing = false;
    }
}
