#pragma once

// The base of dialogs built from a resource template in the module object's language. The object
// is bound at WM_INITDIALOG (the template's creation parameter carries `this`) and unbound at
// WM_NCDESTROY. Modal dialogs end with EndDialog(); modeless ones are destroyed by their owner.
// No exception leaves the dialog procedure.

#include <windows.h>

#include <optional>
#include <string>

class CDialog {
  public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog();

    // Runs the dialog modally; the value given to EndDialog, or -1 when it could not be created.
    INT_PTR DoModal(HWND owner);
    // Creates the dialog modeless (visible only when its template says so). Null on failure.
    HWND Create(HWND parent);
    bool Destroy();

    HWND Hwnd() const { return m_hwnd; }
    HWND Item(int id) const { return ::GetDlgItem(m_hwnd, id); }
    bool IsModal() const { return m_modal; }

  protected:
    // Return false to keep the focus where the handler put it.
    virtual BOOL OnInitDialog() { return TRUE; }
    // True when handled. By default a modal dialog ends with IDOK and IDCANCEL.
    virtual bool OnCommand(int id, int code, HWND control);
    // Any other message; a value means handled, with that result (returned directly for the
    // messages whose result the dialog manager takes from the procedure, such as WM_CTLCOLOR*).
    virtual std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // After the last message, when Hwnd() is already null.
    virtual void OnFinalMessage() {}

    void EndDialog(INT_PTR result);
    std::wstring ItemText(int id) const;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    HWND m_hwnd = nullptr;
    bool m_modal = false;
};
