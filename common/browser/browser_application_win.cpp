#include "common/browser/browser_application_win.h"

#include <windows.h>

#include "common/browser/show_browser_window.h"
#include "common/browser/web_browser.h"

namespace {

VARIANT_BOOL AsVariantBool(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

class CBrowserWindowControl : public IBrowserWindowControl {
  public:
    explicit CBrowserWindowControl(std::unique_ptr<CWebBrowser> window) : m_window(std::move(window)) {}

    void SetBarsVisible(bool visible) override {
        IWebBrowser2* browser = m_window->Browser();
        browser->put_AddressBar(AsVariantBool(visible));
        browser->put_MenuBar(AsVariantBool(visible));
        browser->put_StatusBar(AsVariantBool(visible));
        browser->put_ToolBar(visible ? 1 : 0);
    }
    void SetResizable(bool resizable) override {
        m_window->Browser()->put_Resizable(AsVariantBool(resizable));
    }
    void SetPosition(int32_t left, int32_t top) override {
        m_window->Browser()->put_Left(left);
        m_window->Browser()->put_Top(top);
    }
    void SetSize(int32_t width, int32_t height) override {
        m_window->Browser()->put_Width(width);
        m_window->Browser()->put_Height(height);
    }
    void SetVisible(bool visible) override { m_window->Browser()->put_Visible(AsVariantBool(visible)); }
    void BringToForeground() override {
        if (HWND frame = m_window->FrameWindow())
            ::SetForegroundWindow(frame);
    }
    void SetTopmost(bool topmost) override {
        if (HWND frame = m_window->FrameWindow())
            ::SetWindowPos(frame, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE);
    }

  private:
    std::unique_ptr<CWebBrowser> m_window;
};

}  // namespace

std::unique_ptr<IBrowserWindowControl> CBrowserApplication::Open(const std::wstring& url) {
    auto window = std::make_unique<CWebBrowser>();
    if (!window->Open(url, 0))
        return nullptr;
    return std::make_unique<CBrowserWindowControl>(std::move(window));
}

void CBrowserApplication::Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

bool ShowBrowserWindow(const std::wstring& url,
                       int32_t left,
                       int32_t top,
                       int32_t width,
                       int32_t height,
                       uint32_t flags) {
    CBrowserApplication application;
    return ShowBrowserWindow(application, url, left, top, width, height, flags);
}
