#pragma once

// The browser's event interface (DWebBrowserEvents2) as a small COM object connected through the
// browser's connection point. Only DocumentComplete is passed on; a disconnected sink ignores
// events still in flight, since the browser may hold it a little longer than its owner lives.

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>

#include <string>

class IBrowserEvents {
  public:
    virtual ~IBrowserEvents() = default;
    // The document of `url` has loaded (for a page with frames, once per frame and once for the top).
    virtual void OnDocumentComplete(const std::wstring& url) = 0;
};

class CBrowserEventSink final : public IDispatch {
  public:
    // Starts with one reference, the creator's. `events` may be null: every event is ignored.
    explicit CBrowserEventSink(IBrowserEvents* events);

    // Advises the browser's DWebBrowserEvents2 connection point. False when it has none.
    bool Connect(IUnknown* browser);
    // Unadvises and forgets the callback; safe to call more than once.
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

    ULONG m_references = 1;
    IBrowserEvents* m_events;
    IConnectionPoint* m_point = nullptr;
    DWORD m_cookie = 0;
};
