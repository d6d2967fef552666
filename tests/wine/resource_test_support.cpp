#include "resource_test_support.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace {

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::vector<LANGID>*>(found)->push_back(language);
    return TRUE;
}

INT_PTR CALLBACK IdleDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The rectangle DrawTextW needs for `text` in the control's own font, starting from `room`.
RECT Measure(HWND control, const std::wstring& text, UINT format, RECT room) {
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &room, format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return room;
}

std::wstring Describe(HWND control, const std::wstring& text, const RECT& need, const RECT& have) {
    return L"control " + std::to_wstring(GetDlgCtrlID(control)) + L" \"" + text + L"\" needs " +
           std::to_wstring(need.right - need.left) + L"x" + std::to_wstring(need.bottom - need.top) +
           L" px, has " + std::to_wstring(have.right - have.left) + L"x" +
           std::to_wstring(have.bottom - have.top);
}

bool Fits(const RECT& need, const RECT& have) {
    return need.right - need.left <= have.right - have.left &&
           need.bottom - need.top <= have.bottom - have.top;
}

// Room a button's frame and focus rectangle take from its text, and what a check box or radio
// button's mark with its gap takes.
constexpr int kButtonMargin = 8;
constexpr int kMarkGap = 4;

}  // namespace

std::wstring LanguageName(LANGID language) {
    switch (language) {
        case kEnglish:
            return L"English";
        case kKorean:
            return L"Korean";
        case kGreek:
            return L"Greek";
    }
    return L"0x" + std::to_wstring(language);
}

std::vector<LANGID> LanguagesOf(LPCWSTR type, UINT id) {
    std::vector<LANGID> found;
    EnumResourceLanguagesW(nullptr, type, MAKEINTRESOURCEW(id), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&found));
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<RawResource> ExactResource(LPCWSTR type, UINT id, LANGID language) {
    const std::vector<LANGID> languages = LanguagesOf(type, id);
    if (std::find(languages.begin(), languages.end(), language) == languages.end())
        return std::nullopt;
    const HRSRC info = FindResourceExW(nullptr, type, MAKEINTRESOURCEW(id), language);
    const HGLOBAL loaded = info ? LoadResource(nullptr, info) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return std::nullopt;
    return RawResource{data, SizeofResource(nullptr, info)};
}

wchar_t AccessKey(const std::wstring& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] == L'&') {
            ++i;
            continue;
        }
        wchar_t key = text[i + 1];
        CharLowerBuffW(&key, 1);
        return key;
    }
    return 0;
}

CCreatedDialog::CCreatedDialog(UINT id, LANGID language) {
    const auto raw = ExactResource(RT_DIALOG, id, language);
    if (!raw)
        return;
    // The templates are extended ones, with the style in their fourth DWORD. A copy without
    // WS_VISIBLE keeps a dialog that shows itself off the screen: showing and destroying a window
    // costs Wine a wait for the X server, and nothing measured here needs it shown.
    std::vector<DWORD> copy((raw->size + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::memcpy(copy.data(), raw->data, raw->size);
    if (copy.size() < 4)
        return;
    copy[3] &= ~static_cast<DWORD>(WS_VISIBLE);
    if (copy[3] & WS_CHILD) {
        m_parent = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    }
    m_dialog = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(copy.data()), m_parent, IdleDialogProc, 0);
}

CCreatedDialog::~CCreatedDialog() {
    if (m_dialog)
        DestroyWindow(m_dialog);
    if (m_parent)
        DestroyWindow(m_parent);
}

CBoldFont::CBoldFont(HWND dialog) {
    LOGFONTW font{};
    if (GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(font), &font)) {
        font.lfWeight = FW_BOLD;
        m_font = CreateFontIndirectW(&font);
    }
}

CBoldFont::~CBoldFont() {
    if (m_font)
        DeleteObject(m_font);
}

std::vector<std::wstring> ClippedTexts(HWND dialog) {
    std::vector<std::wstring> clipped;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::wstring className = ClassOf(control);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
        RECT have{};
        GetClientRect(control, &have);
        if (_wcsicmp(className.c_str(), L"Button") == 0) {
            const DWORD type = style & BS_TYPEMASK;
            const std::wstring text = WindowText(control);
            RECT need = Measure(control, text, DT_SINGLELINE, RECT{0, 0, 0, 0});
            if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
                need.right += kButtonMargin;
            } else if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON ||
                       type == BS_RADIOBUTTON) {
                need.right += GetSystemMetrics(SM_CXMENUCHECK) + kMarkGap;
            } else {
                continue;
            }
            if (!Fits(need, have))
                clipped.push_back(Describe(control, text, need, have));
        } else if (_wcsicmp(className.c_str(), L"Static") == 0) {
            const DWORD type = style & SS_TYPEMASK;
            if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP)
                continue;
            const std::wstring text = WindowText(control);
            if (text.empty())
                continue;
            UINT format = type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK;
            if (style & SS_NOPREFIX)
                format |= DT_NOPREFIX;
            // Word breaking keeps the width and grows the height; a word longer than the width
            // widens the rectangle instead, which Fits then reports.
            const RECT need = Measure(control, text, format, have);
            if (!Fits(need, have))
                clipped.push_back(Describe(control, text, need, have));
        } else if (_wcsicmp(className.c_str(), L"Edit") == 0) {
            if (style & ES_MULTILINE)
                continue;
            const std::wstring text = WindowText(control);
            if (text.empty())
                continue;
            // The edit's own margins come off its client area, as it draws inside them.
            const auto margins = static_cast<DWORD>(SendMessageW(control, EM_GETMARGINS, 0, 0));
            RECT room = have;
            room.left += LOWORD(margins);
            room.right -= HIWORD(margins);
            const RECT need = Measure(control, text, DT_SINGLELINE | DT_NOPREFIX, RECT{0, 0, 0, 0});
            if (!Fits(need, room))
                clipped.push_back(Describe(control, text, need, room));
        } else if (_wcsicmp(className.c_str(), L"ComboBox") == 0) {
            COMBOBOXINFO info{};
            info.cbSize = sizeof(info);
            if (!GetComboBoxInfo(control, &info)) {
                clipped.push_back(L"combo box " + std::to_wstring(GetDlgCtrlID(control)) +
                                  L" gives no item area");
                continue;
            }
            const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                std::wstring item(static_cast<size_t>(SendMessageW(control, CB_GETLBTEXTLEN, i, 0)) + 1,
                                  L'\0');
                item.resize(static_cast<size_t>(
                    SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
                const RECT need = Measure(control, item, DT_SINGLELINE | DT_NOPREFIX, RECT{0, 0, 0, 0});
                if (!Fits(need, info.rcItem))
                    clipped.push_back(Describe(control, item, need, info.rcItem));
            }
        }
    }
    return clipped;
}

std::vector<std::wstring> LayoutFaults(HWND dialog) {
    struct Placed {
        int id;
        RECT rect;
    };
    std::vector<Placed> placed;
    RECT client{};
    GetClientRect(dialog, &client);
    std::vector<std::wstring> faults;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        const int id = GetDlgCtrlID(control);
        if (rect.left < client.left || rect.top < client.top || rect.right > client.right ||
            rect.bottom > client.bottom) {
            faults.push_back(L"control " + std::to_wstring(id) + L" reaches beyond the dialog");
        }
        // A line may run under its neighbours' margins; an empty rectangle covers nothing.
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
        if (ClassOf(control) == L"Static" && (style & SS_TYPEMASK) == SS_ETCHEDHORZ)
            continue;
        if (IsRectEmpty(&rect) || !(style & WS_VISIBLE))
            continue;
        for (const Placed& other : placed) {
            RECT overlap{};
            if (IntersectRect(&overlap, &rect, &other.rect)) {
                faults.push_back(L"controls " + std::to_wstring(other.id) + L" and " + std::to_wstring(id) +
                                 L" overlap");
            }
        }
        placed.push_back({id, rect});
    }
    return faults;
}
