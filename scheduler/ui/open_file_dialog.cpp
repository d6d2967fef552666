#include "scheduler/ui/open_file_dialog.h"

#include <commdlg.h>

#include "common/ui/resources.h"
#include "scheduler/ui/page_choices.h"

std::optional<std::wstring> AskOpenFile(HWND owner, UINT titleId, UINT filterId) {
    const std::wstring title = LoadUiString(titleId);
    const std::wstring filter = FileDialogFilter(LoadUiString(filterId));
    // Room for a long path: the dialog fails rather than cut one that does not fit.
    std::wstring path(32768, L'\0');

    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = path.data();
    request.nMaxFile = static_cast<DWORD>(path.size());
    request.lpstrTitle = title.c_str();
    request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!::GetOpenFileNameW(&request))
        return std::nullopt;
    path.resize(path.find(L'\0'));
    if (path.empty())
        return std::nullopt;
    return path;
}
