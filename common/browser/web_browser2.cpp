#include "common/browser/web_browser2.h"

#include <mshtml.h>
#include <ole2.h>

#include "common/browser/browser_site_win.h"
#include "common/text/web_address.h"

namespace {

// The WebBrowser control.
constexpr CLSID kWebBrowserClassId = {0x8856F961,
                                      0x340A,
                                      0x11D0,
                                      {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr DISPID kNavigateDispatchId = 104;

// A BSTR owned for the length of one call.
class Bstr {
  public:
    explicit Bstr(const wchar_t* text) : m_text(::SysAllocString(text)) {}
    ~Bstr() { ::SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return m_text; }

  private:
    BSTR m_text;
};

}  // namespace

CWebBrowser2::~CWebBrowser2() {
    // The control must go while the window it lives in still exists.
    DestroyControl();
    Destroy();
}

bool CWebBrowser2::CreateHost(HWND parent, const RECT& rect, UINT controlId, IBrowserEvents* events) {
    static const WindowClass hostClass{L"QPWebBrowserHost", 0, nullptr, nullptr};
    if (!Create(hostClass, parent, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, rect,
                controlId))
        return false;
    if (!CreateControl(events))
        DestroyControl();
    return true;
}

bool CWebBrowser2::CreateControl(IBrowserEvents* events) {
    if (FAILED(::CoCreateInstance(kWebBrowserClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  m_object.PutVoid())))
        return false;
    m_site = new CBrowserSite(Hwnd());
    if (FAILED(m_object->SetClientSite(static_cast<IOleClientSite*>(m_site))))
        return false;
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    if (FAILED(m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(m_site), 0,
                                Hwnd(), &client)))
        return false;
    m_browser = m_object.As<IWebBrowser2>();
    if (!m_browser)
        return false;
    m_sink = new CBrowserEventSink(events);
    // A control without events still shows pages; the callers lay out on a timer as well.
    m_sink->Connect(m_browser.Get());
    return true;
}

void CWebBrowser2::DestroyControl() {
    if (m_sink) {
        m_sink->Disconnect();
        m_sink->Release();
        m_sink = nullptr;
    }
    m_browser.Reset();
    if (m_object) {
        if (ComPtr<IOleInPlaceObject> inPlace = m_object.As<IOleInPlaceObject>())
            inPlace->InPlaceDeactivate();
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
        m_object.Reset();
    }
    if (m_site) {
        m_site->Detach();
        m_site->Release();
        m_site = nullptr;
    }
}

bool CWebBrowser2::Navigate(const std::wstring& url) {
    if (!m_browser || !IsWebAddress(url))
        return false;
    Bstr address(url.c_str());
    if (!address.Get())
        return false;
    // Arguments go last first: flags, target frame, post data and headers stay empty.
    VARIANT arguments[5];
    for (VARIANT& argument : arguments)
        ::VariantInit(&argument);
    arguments[4].vt = VT_BSTR;
    arguments[4].bstrVal = address.Get();
    DISPPARAMS params{arguments, nullptr, 5, 0};
    return SUCCEEDED(m_browser->Invoke(kNavigateDispatchId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                       &params, nullptr, nullptr, nullptr));
}

bool CWebBrowser2::TranslateAccelerator(MSG& message) {
    return m_browser && m_site && m_site->TranslateKeyboardMessage(message);
}

RenderedElement CWebBrowser2::FindRenderedElement(const wchar_t* id) const {
    RenderedElement found;
    if (!m_browser)
        return found;
    ComPtr<IDispatch> document;
    if (FAILED(m_browser->get_Document(document.Put())) || !document)
        return found;
    ComPtr<IHTMLDocument3> html = document.As<IHTMLDocument3>();
    if (!html)
        return found;
    found.documentReached = true;
    if (!id)
        return found;
    Bstr name(id);
    ComPtr<IHTMLElement> element;
    if (FAILED(html->getElementById(name.Get(), element.Put())) || !element)
        return found;
    ElementSize size;
    if (SUCCEEDED(element->get_offsetWidth(&size.width)) &&
        SUCCEEDED(element->get_offsetHeight(&size.height)))
        found.size = size;
    return found;
}

LRESULT CWebBrowser2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (m_object) {
                if (ComPtr<IOleInPlaceObject> inPlace = m_object.As<IOleInPlaceObject>()) {
                    RECT client{0, 0, LOWORD(lParam), HIWORD(lParam)};
                    inPlace->SetObjectRects(&client, &client);
                }
            }
            return 0;
        case WM_DESTROY:
            DestroyControl();
            break;
        default:
            break;
    }
    return CWindow::HandleMessage(message, wParam, lParam);
}
