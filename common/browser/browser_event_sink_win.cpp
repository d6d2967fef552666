#include "common/browser/browser_event_sink_win.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>

#include "common/platform/com_ptr.h"

CBrowserEventSink::CBrowserEventSink(IBrowserEvents* events) : m_events(events) {}

CBrowserEventSink::~CBrowserEventSink() {
    Disconnect();
}

bool CBrowserEventSink::Connect(IUnknown* browser) {
    IBrowserEvents* events = m_events;
    Disconnect();
    m_events = events;
    if (!browser)
        return false;
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(browser->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())))
        return false;
    ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Put())))
        return false;
    DWORD cookie = 0;
    if (FAILED(point->Advise(static_cast<IDispatch*>(this), &cookie)))
        return false;
    m_point = point.Detach();
    m_cookie = cookie;
    return true;
}

void CBrowserEventSink::Disconnect() {
    m_events = nullptr;
    if (m_point) {
        IConnectionPoint* point = m_point;
        m_point = nullptr;
        point->Unadvise(m_cookie);
        point->Release();
        m_cookie = 0;
    }
}

STDMETHODIMP CBrowserEventSink::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CBrowserEventSink::AddRef() {
    return ++m_references;
}

STDMETHODIMP_(ULONG) CBrowserEventSink::Release() {
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP CBrowserEventSink::GetTypeInfoCount(UINT* count) {
    if (count)
        *count = 0;
    return S_OK;
}

STDMETHODIMP CBrowserEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CBrowserEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

STDMETHODIMP
CBrowserEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    if (id != DISPID_DOCUMENTCOMPLETE || !m_events)
        return S_OK;
    // Arguments arrive last first: the address is rgvarg[0], a VARIANT by reference.
    std::wstring url;
    if (params && params->cArgs >= 2) {
        const VARIANT& argument = params->rgvarg[0];
        const VARIANT* value = &argument;
        if (argument.vt == (VT_BYREF | VT_VARIANT) && argument.pvarVal)
            value = argument.pvarVal;
        if (value->vt == VT_BSTR && value->bstrVal)
            url.assign(value->bstrVal, ::SysStringLen(value->bstrVal));
    }
    // No exception may travel back into the browser.
    try {
        m_events->OnDocumentComplete(url);
    } catch (...) {
    }
    return S_OK;
}
