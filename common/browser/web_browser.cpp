#include "common/browser/web_browser.h"

#include "common/text/web_address.h"

namespace {

// The browser application.
constexpr CLSID kBrowserApplicationClassId = {0x0002DF01, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

}  // namespace

CWebBrowser::~CWebBrowser() {
    Close();
}

void CWebBrowser::Close() {
    if (m_sink) {
        m_sink->Disconnect();
        m_sink->Release();
        m_sink = nullptr;
    }
    m_browser.Reset();
}

bool CWebBrowser::Open(const std::wstring& url, uint32_t options) {
    Close();
    if (!IsWebAddress(url))
        return false;
    if (FAILED(::CoCreateInstance(kBrowserApplicationClassId, nullptr, CLSCTX_SERVER, IID_IWebBrowser2,
                                  m_browser.PutVoid())) ||
        !m_browser) {
        m_browser.Reset();
        return false;
    }
    BSTR address = ::SysAllocString(url.c_str());
    VARIANT empty;
    ::VariantInit(&empty);
    const HRESULT navigated =
        address ? m_browser->Navigate(address, &empty, &empty, &empty, &empty) : E_OUTOFMEMORY;
    ::SysFreeString(address);
    if (FAILED(navigated)) {
        // The window was started; without a page it would sit empty, so it is closed again.
        m_browser->Quit();
        m_browser.Reset();
        return false;
    }
    if (options & WebBrowserOptions::ConnectEvents) {
        m_sink = new CBrowserEventSink(nullptr);
        m_sink->Connect(m_browser.Get());
    }
    if (options & WebBrowserOptions::Visible)
        m_browser->put_Visible(VARIANT_TRUE);
    if (options & WebBrowserOptions::Foreground) {
        if (HWND frame = FrameWindow())
            ::SetForegroundWindow(frame);
    }
    return true;
}

HWND CWebBrowser::FrameWindow() const {
    if (!m_browser)
        return nullptr;
    SHANDLE_PTR handle = 0;
    if (FAILED(m_browser->get_HWND(&handle)))
        return nullptr;
    return reinterpret_cast<HWND>(handle);
}
