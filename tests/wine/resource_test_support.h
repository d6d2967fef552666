#pragma once

// What the resource tests of both programs share: exact-language resource look-ups, dialogs created
// from one language's template, and the measurements that tell whether a text fits its control.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

constexpr LANGID kEnglish = 0x409;
constexpr LANGID kKorean = 0x412;
constexpr LANGID kGreek = 0x408;

std::wstring LanguageName(LANGID language);

// The languages this executable has the resource in, in ascending order.
std::vector<LANGID> LanguagesOf(LPCWSTR type, UINT id);

struct RawResource {
    const void* data;
    DWORD size;
};
// The resource in exactly `language` (FindResourceExW alone may hand back another language).
std::optional<RawResource> ExactResource(LPCWSTR type, UINT id, LANGID language);

// The lower-cased character after the first single "&" of a control or menu text, or 0.
wchar_t AccessKey(const std::wstring& text);

// One language's dialog created hidden from its template (also one that would show itself), with a
// dialog procedure that does nothing; a page (a child dialog) gets a hidden parent window of its own.
class CCreatedDialog {
  public:
    CCreatedDialog(UINT id, LANGID language);
    ~CCreatedDialog();
    CCreatedDialog(const CCreatedDialog&) = delete;
    CCreatedDialog& operator=(const CCreatedDialog&) = delete;

    HWND Handle() const { return m_dialog; }

  private:
    HWND m_parent = nullptr;
    HWND m_dialog = nullptr;
};

// A bold copy of a dialog's font, as the confirmation draws its question.
class CBoldFont {
  public:
    explicit CBoldFont(HWND dialog);
    ~CBoldFont();
    CBoldFont(const CBoldFont&) = delete;
    CBoldFont& operator=(const CBoldFont&) = delete;

    HFONT Handle() const { return m_font; }

  private:
    HFONT m_font = nullptr;
};

// A description of every text in the dialog's buttons, statics, single-line edits and combo boxes
// (the closed box's item area, for each item) that does not fit the room its control gives it.
std::vector<std::wstring> ClippedTexts(HWND dialog);

// Controls that reach beyond the dialog's client area or overlap another control. A control hidden
// at first is checked against the dialog only: it stands in for another one when it is shown.
std::vector<std::wstring> LayoutFaults(HWND dialog);
