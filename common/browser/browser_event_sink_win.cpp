#include "common/browser/browser_event_sink_win.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <shellapi.h>

#include <optional>
#include <utility>

#include "common/browser/browser_navigation.h"
#include "common/platform/com_ptr.h"
#include "common/text/web_address.h"

namespace {

// An argument as the browser passes it: the value itself, or a VARIANT by reference to it.
const VARIANT& ValueOf(const VARIANT& argument) {
    if (argument.vt == (VT_BYREF | VT_VARIANT) && argument.pvarVal)
        return *argument.pvarVal;
    return argument;
}

std::optional<std::wstring> TextOf(const VARIANT& argument) {
    const VARIANT& value = ValueOf(argument);
    if (value.vt == VT_BSTR)
        return value.bstrVal ? std::wstring(value.bstrVal, ::SysStringLen(value.bstrVal)) : std::wstring();
    if (value.vt == (VT_BYREF | VT_BSTR) && value.pbstrVal)
        return *value.pbstrVal ? std::wstring(*value.pbstrVal, ::SysStringLen(*value.pbstrVal)) : std::wstring();
    return std::nullopt;
}

// The browser's out parameter "Cancel", a VARIANT_BOOL by reference; null when it is not one.
VARIANT_BOOL* CancelOf(const VARIANT& argument) {
    const VARIANT& value = ValueOf(argument);
    return value.vt == (VT_BYREF | VT_BOOL) ? value.pboolVal : nullptr;
}

// The argument `index` counted from the first, as the interface declares it (the array holds
// them last first); null past the end.
const VARIANT* Argument(const DISPPARAMS* params, UINT index, UINT declared) {
    if (!params || !params->rgvarg || params->cArgs != declared || index >= declared)
        return nullptr;
    return &params->rgvarg[declared - 1 - index];
}

}  // namespace

void OpenInUserBrowser(const std::wstring& address) {
    if (IsWebAddress(address))
        ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

CBrowserEventSink::CBrowserEventSink(IBrowserEvents* events, WebAddressOpener opener)
    : m_events(events), m_opener(std::move(opener)) {}

CBrowserEventSink::~CBrowserEventSink() {
    Disconnect();
}

bool CBrowserEventSink::Connect(IUnknown* browser) {
    IBrowserEvents* events = m_events;
    WebAddressOpener opener = std::move(m_opener);
    Disconnect();
    m_events = events;
    m_opener = std::move(opener);
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
    m_opener = nullptr;
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
    switch (id) {
        case DISPID_BEFORENAVIGATE2:
            OnBeforeNavigate(params);
            return S_OK;
        case DISPID_NEWWINDOW2:
            // The older event names no address: the window is refused, nothing is opened.
            if (const VARIANT* cancel = Argument(params, 1, 2)) {
                if (VARIANT_BOOL* flag = CancelOf(*cancel))
                    *flag = VARIANT_TRUE;
            }
            return S_OK;
        case DISPID_NEWWINDOW3:
            OnNewWindow(params);
            return S_OK;
        case DISPID_DOCUMENTCOMPLETE:
            break;
        default:
            return S_OK;
    }
    if (!m_events)
        return S_OK;
    // DocumentComplete(pDisp, URL): the address is the last argument, rgvarg[0].
    std::wstring url;
    if (params && params->cArgs >= 2) {
        if (std::optional<std::wstring> text = TextOf(params->rgvarg[0]))
            url = std::move(*text);
    }
    // No exception may travel back into the browser.
    try {
        m_events->OnDocumentComplete(url);
    } catch (...) {
    }
    return S_OK;
}

void CBrowserEventSink::OnBeforeNavigate(DISPPARAMS* params) {
    // BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel), for the top
    // frame and each sub-frame alike. An address that cannot be read is no web address.
    const VARIANT* cancel = Argument(params, 6, 7);
    VARIANT_BOOL* flag = cancel ? CancelOf(*cancel) : nullptr;
    if (!flag)
        return;
    const VARIANT* address = Argument(params, 1, 7);
    const std::optional<std::wstring> url = address ? TextOf(*address) : std::nullopt;
    if (!url || !MayNavigateInPlace(*url))
        *flag = VARIANT_TRUE;
}

void CBrowserEventSink::OnNewWindow(DISPPARAMS* params) {
    // NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl). No window opens inside the
    // program, whatever the address.
    const VARIANT* cancel = Argument(params, 1, 5);
    if (VARIANT_BOOL* flag = cancel ? CancelOf(*cancel) : nullptr)
        *flag = VARIANT_TRUE;
    const VARIANT* address = Argument(params, 4, 5);
    const std::optional<std::wstring> url = address ? TextOf(*address) : std::nullopt;
    if (!url || !m_opener || NewWindowActionFor(*url) != NewWindowAction::OpenInUserBrowser)
        return;
    try {
        m_opener(*url);
    } catch (...) {
    }
}
