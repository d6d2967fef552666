#pragma once

// The browser's event interface (DWebBrowserEvents2) as a small COM object connected through the
// browser's connection point. It keeps the control on the web (browser_navigation.h): every
// navigation to anything but an http: or https: address is cancelled, in any frame, and a new window
// never opens inside the program; a web address it asked for goes to the user's browser instead.
// DocumentComplete is passed on to the owner. A disconnected sink still cancels what it must but
// tells and opens nothing, since the browser may hold it a little longer than its owner lives.

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>

#include <functional>
#include <string>

class IBrowserEvents {
  public:
    virtual ~IBrowserEvents() = default;
    // The document of `url` has loaded (for a page with frames, once per frame and once for the top).
    virtual void OnDocumentComplete(const std::wstring& url) = 0;
};

// Hands a web address to the user's own browser.
using WebAddressOpener = std::function<void(const std::wstring& address)>;

// The shell's handler for the address, as links are opened.
void OpenInUserBrowser(const std::wstring& address);

class CBrowserEventSink final : public IDispatch {
  public:
    // Starts with one reference, the creator's. `events` may be null: DocumentComplete is then
    // ignored, while navigations and new windows are still decided on.
    explicit CBrowserEventSink(IBrowserEvents* events, WebAddressOpener opener = OpenInUserBrowser);

    // Advises the browser's DWebBrowserEvents2 connection point. False when it has none.
    bool Connect(IUnknown* browser);
    // Unadvises and forgets the callback and the opener; safe to call more than once.
    void Disconnect();

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id,
                        REFIID iid,
                        LCID locale,
                        WORD flags,
                        DISPPARAMS* params,
                        VARIANT* result,
                        EXCEPINFO* exception,
                        UINT* argumentError) override;

  private:
    ~CBrowserEventSink();

    void OnBeforeNavigate(DISPPARAMS* params);
    void OnNewWindow(DISPPARAMS* params);

    ULONG m_references = 1;
    IBrowserEvents* m_events;
    WebAddressOpener m_opener;
    IConnectionPoint* m_point = nullptr;
    DWORD m_cookie = 0;
};
