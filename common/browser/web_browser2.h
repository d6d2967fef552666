#pragma once

// The WebBrowser control embedded in a child window of our own, with our own OLE container
// (CBrowserSite) and event sink. Only web addresses are navigated: pages come from endpoints'
// answers, and the sink cancels whatever a page itself asks for that is no web page, and every new
// window (CBrowserEventSink). Every failure of the control leaves a host that simply shows nothing.

#include <windows.h>

#include <exdisp.h>

#include <optional>
#include <string>

#include "common/browser/browser_event_sink_win.h"
#include "common/platform/com_ptr.h"
#include "common/ui/window.h"

class CBrowserSite;

struct ElementSize {
    long width = 0;
    long height = 0;
};

struct RenderedElement {
    bool documentReached = false;     // the control had a document that could be searched
    std::optional<ElementSize> size;  // the element's, when the document has it
};

class CWebBrowser2 : public CWindow {
  public:
    CWebBrowser2() = default;
    ~CWebBrowser2() override;

    // Creates the visible child window and the control in it (the caller's thread must be in a
    // single-threaded apartment). `events` (may be null) hears DocumentComplete until the host
    // goes. False when the window cannot be made; a control that cannot be made leaves the
    // window without one (HasControl).
    bool CreateHost(HWND parent, const RECT& rect, UINT controlId, IBrowserEvents* events);
    bool HasControl() const { return static_cast<bool>(m_browser); }

    // Navigates to an http: or https: address; false for any other address or without control.
    bool Navigate(const std::wstring& url);

    // The rendered size of the element with this identifier in the loaded document, and whether
    // there was a document to look in: without a control, a document or its HTML interface none was
    // reached; a document without such an element (or one that cannot be measured) gives no size.
    RenderedElement FindRenderedElement(const wchar_t* id) const;

    // Offers a keyboard message to the page when it is meant for a window inside the host, as the
    // owner's message filter does before the dialog manager sees it; true when the page used it.
    bool TranslateAccelerator(MSG& message);

    // The control's automation interface, or null.
    IWebBrowser2* Browser() const { return m_browser.Get(); }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    bool CreateControl(IBrowserEvents* events);
    void DestroyControl();

    ComPtr<IOleObject> m_object;
    ComPtr<IWebBrowser2> m_browser;
    CBrowserSite* m_site = nullptr;       // one reference
    CBrowserEventSink* m_sink = nullptr;  // one reference
};
