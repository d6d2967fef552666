// The browser integration against Wine: the emulation value for Wine's own "ieframe.dll", the user
// agent read back from urlmon, RunProgramFile, and the embedded control's host. Wine has no rendering
// engine here, so the control may exist without ever showing a page; the host must cope either way.

#include <windows.h>

#include <exdisp.h>
#include <exdispid.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/browser/browser_emulation.h"
#include "common/browser/browser_emulation_win.h"
#include "common/browser/browser_event_sink_win.h"
#include "common/browser/browser_site_win.h"
#include "common/browser/browser_user_agent_win.h"
#include "common/browser/ie_cookie_api_win.h"
#include "common/browser/protected_mode_cookie_sync.h"
#include "common/browser/run_program_win.h"
#include "common/browser/web_browser.h"
#include "common/browser/web_browser2.h"
#include "common/path/file_system.h"
#include "tests/wine/test_support.h"

namespace {

class ComApartment {
  public:
    ComApartment() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result))
            ::CoUninitialize();
    }

  private:
    HRESULT m_result;
};

// Read straight from the file's fixed version record, apart from the code under test.
uint32_t IeframeMajorFromFile() {
    wchar_t system[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    const std::wstring path = std::wstring(system) + L"\\ieframe.dll";
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return 0;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return 0;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed)
        return 0;
    return fixed->dwProductVersionMS >> 16;
}

std::wstring ThisExecutableName() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring full(path, length);
    return full.substr(full.find_last_of(L'\\') + 1);
}

bool ReadEmulationValue(const std::wstring& name, DWORD* value) {
    DWORD size = sizeof(*value);
    DWORD type = 0;
    return ::RegGetValueW(HKEY_CURRENT_USER, kBrowserEmulationKeyPath, name.c_str(), RRF_RT_ANY, &type, value,
                          &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
}

TEST(BrowserEmulationWineTest, WritesMajorTimesThousandOfWinesIeframeUnderTheExecutableName) {
    const uint32_t major = IeframeMajorFromFile();
    ASSERT_GE(major, 8u) << "Wine's ieframe.dll should report a browser with the emulation setting";
    EXPECT_EQ(GetBrowserMajorVersion(), major);

    const std::wstring name = ThisExecutableName();
    ASSERT_EQ(name, L"wine_tests.exe");
    ASSERT_TRUE(EnableBrowserEmulation());
    DWORD value = 0;
    ASSERT_TRUE(ReadEmulationValue(name, &value));
    EXPECT_EQ(value, major * 1000);

    EXPECT_TRUE(DisableBrowserEmulation());
    EXPECT_FALSE(ReadEmulationValue(name, &value));
}

TEST(BrowserUserAgentWineTest, TheAgentIsWhatUrlmonHandsOutAfterwards) {
    // The session option lives in urlmon: setting it keeps the library loaded for the browser to come.
    SetBrowserUserAgent(L"QPTestAgent/2.4");
    HMODULE urlmon = ::GetModuleHandleW(L"urlmon.dll");
    ASSERT_NE(urlmon, nullptr) << "urlmon was unloaded with the agent set in it";
    ::LoadLibraryW(L"urlmon.dll");
    using GetOption = HRESULT(WINAPI*)(DWORD, LPVOID, DWORD, DWORD*, DWORD);
    const auto getOption = reinterpret_cast<GetOption>(
        reinterpret_cast<void*>(::GetProcAddress(urlmon, "UrlMkGetSessionOption")));
    ASSERT_NE(getOption, nullptr);

    // Controls go, at most 255 characters stay, and an agent with nothing left keeps the one before;
    // the narrow agent is in the thread's code page (Hangul in Korean 949), not the system's.
    ASSERT_NE(::GetACP(), 949u) << "the system code page must differ from the thread's for the Korean case";
    const LCID korean = MAKELCID(MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN), SORT_DEFAULT);
    const LCID original = ::GetThreadLocale();
    const struct { LCID locale; std::wstring agent; std::string sent; } cases[] = {
        {original, L"QPTestAgent/2.5 (probe)", "QPTestAgent/2.5 (probe)"},
        {original, L"QPTestAgent/2.6\r\nX-Injected: 1", "QPTestAgent/2.6X-Injected: 1"},
        {original, std::wstring(300, L'q'), std::string(255, 'q')},
        {original, L"\r\n", std::string(255, 'q')},
        {korean, L"QP/\uD55C\uAE00", "QP/\xC7\xD1\xB1\xDB"},
    };
    for (const auto& [locale, agent, sent] : cases) {
        ASSERT_TRUE(::SetThreadLocale(locale));
        SetBrowserUserAgent(agent);
        ::SetThreadLocale(original);
        char buffer[512] = {};
        DWORD length = 0;
        // urlmon answers E_OUTOFMEMORY even when the agent fits (as Windows does); the text and its
        // length with the terminator are what count.
        getOption(0x10000001, buffer, sizeof(buffer), &length, 0);
        EXPECT_EQ(length, sent.size() + 1) << sent;
        EXPECT_EQ(std::string(buffer), sent);
    }
    ::FreeLibrary(urlmon);
}

TEST(RunProgramWineTest, StartsOnlyAProgramFileThatExistsInAFolderThatExists) {
    // The argv printer beside the tests ends at once, whatever it is started with.
    const std::wstring folder = GetModuleDirectory(), program = folder + L"\\argv_echo.exe";
    ASSERT_TRUE(PathExists(program));
    const struct { const char* name; std::wstring path, directory; bool started; } cases[] = {
        {"the program in its folder", program, folder, true},
        {"no such program", folder + L"\\qp_no_such_program_here.exe", folder, false},
        {"no such folder", program, L"C:\\qp\\no\\such\\folder", false},
        {"a quote in the path", folder + L"\\\"argv_echo.exe", folder, false},
        {"a closing backslash", folder + L"\\", folder, false},
        {"no path", std::wstring(), folder, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunProgramFile(c.path, c.directory.c_str()), c.started) << c.name;
}

class RecordingEvents : public IBrowserEvents {
  public:
    void OnDocumentComplete(const std::wstring& url) override { urls.push_back(url); }
    std::vector<std::wstring> urls;
};

HWND MakeParent() {
    return ::CreateWindowExW(0, L"STATIC", L"browser parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

TEST(WebBrowser2WineTest, HostIsAVisibleChildThatRefusesNonWebAddressesAndGoesCleanly) {
    ComApartment apartment;
    HWND parent = MakeParent();
    ASSERT_NE(parent, nullptr);
    RecordingEvents events;
    HWND host = nullptr;
    {
        CWebBrowser2 browser;
        EXPECT_FALSE(browser.Navigate(L"https://example.test/"));  // no control yet
        ASSERT_TRUE(browser.CreateHost(parent, RECT{8, 16, 328, 216}, 1, &events));
        host = browser.Hwnd();
        ASSERT_TRUE(::IsWindow(host));
        EXPECT_EQ(::GetParent(host), parent);
        EXPECT_EQ(::GetDlgCtrlID(host), 1);
        EXPECT_TRUE(::GetWindowLongW(host, GWL_STYLE) & WS_CHILD);
        EXPECT_TRUE(::GetWindowLongW(host, GWL_STYLE) & WS_VISIBLE);
        RECT rect{};
        ::GetWindowRect(host, &rect);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, 8);
        EXPECT_EQ(rect.top, 16);
        EXPECT_EQ(rect.right - rect.left, 320);
        EXPECT_EQ(rect.bottom - rect.top, 200);

        for (const wchar_t* url : {L"file:///C:/windows/system32/calc.exe", L"C:\\windows\\notepad.exe",
                                   L"about:blank", L"javascript:alert(1)", L"\\\\server\\share"})
            EXPECT_FALSE(browser.Navigate(url)) << url;
        // Nothing navigated yet: no document to look in.
        const RenderedElement before = browser.FindRenderedElement(L"ad");
        EXPECT_FALSE(before.documentReached);
        EXPECT_FALSE(before.size.has_value());
        // Wine's ieframe makes the control (only the page engine is missing): in place, it lives in
        // a window of its own inside the host, and takes a web address through dispatch 104.
        ASSERT_TRUE(browser.HasControl());
        EXPECT_NE(::GetWindow(host, GW_CHILD), nullptr);
        EXPECT_TRUE(browser.Navigate(L"http://127.0.0.1:9/page"));
        MSG message;
        for (int i = 0; i < 50 && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        // Wine renders no page, so whatever document it has holds no element to measure.
        EXPECT_FALSE(browser.FindRenderedElement(L"ad").size.has_value());
        EXPECT_FALSE(browser.FindRenderedElement(nullptr).size.has_value());
    }
    // The object took its window and the control with it; the parent survives.
    EXPECT_FALSE(::IsWindow(host));
    EXPECT_TRUE(::IsWindow(parent));
    ::DestroyWindow(parent);
}

VARIANT Value(VARTYPE type, void* pointer = nullptr) {
    VARIANT value{};
    value.vt = type;
    value.byref = pointer;  // the union's pointer, whichever kind `type` names
    return value;
}

VARIANT Text(const wchar_t* text) {
    return Value(VT_BSTR, ::SysAllocString(text));
}

VARIANT Ref(VARTYPE type, void* target) {
    return Value(VT_BYREF | type, target);
}

// Runs the thread's messages until the control is at `expected` or `ms` have passed; gives its address.
std::wstring PumpUntilLocation(IWebBrowser2* browser, const std::wstring& expected, DWORD ms) {
    for (const DWORD start = ::GetTickCount();; ::Sleep(5)) {
        BSTR location = nullptr;
        browser->get_LocationURL(&location);
        const std::wstring text = location ? std::wstring(location, ::SysStringLen(location)) : L"";
        ::SysFreeString(location);
        if (text == expected || ::GetTickCount() - start >= ms)
            return text;
        for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
            ::DispatchMessageW(&message);
    }
}

TEST(WebBrowser2WineTest, TheHostedControlStaysOnTheWebWhateverItIsAskedToOpen) {
    ComApartment apartment;
    HWND parent = MakeParent();
    ASSERT_NE(parent, nullptr);
    {
        CWebBrowser2 browser;
        ASSERT_TRUE(browser.CreateHost(parent, RECT{0, 0, 200, 100}, 3, nullptr));
        ASSERT_TRUE(browser.HasControl());
        const std::wstring start = L"http://127.0.0.1:9/start";
        ASSERT_TRUE(browser.Navigate(start));
        ASSERT_EQ(PumpUntilLocation(browser.Browser(), start, 3000), start);
        // Asked of the control itself, as a page's script, link or redirect would: only a web page
        // gets past the host's sink (without it each of these moves the control within milliseconds).
        for (const std::wstring url : {L"about:blank", L"file:///C:/windows/win.ini", L"res://ieframe.dll/x.htm",
                                       L"javascript:alert(1)", L"https://127.0.0.1:9/next"}) {
            VARIANT address = Text(url.c_str()), empty{};
            browser.Browser()->Navigate(address.bstrVal, &empty, &empty, &empty, &empty);
            ::VariantClear(&address);
            const bool web = url.starts_with(L"https:");
            EXPECT_EQ(PumpUntilLocation(browser.Browser(), url, web ? 3000 : 300), web ? url : start) << url;
        }
    }
    ::DestroyWindow(parent);
}

TEST(WebBrowser2WineTest, DestroyingTheParentFirstTearsTheControlDown) {
    ComApartment apartment;
    HWND parent = MakeParent();
    ASSERT_NE(parent, nullptr);
    CWebBrowser2 browser;
    ASSERT_TRUE(browser.CreateHost(parent, RECT{0, 0, 100, 100}, 7, nullptr));
    ::DestroyWindow(parent);
    EXPECT_EQ(browser.Hwnd(), nullptr);
    EXPECT_FALSE(browser.HasControl());
    EXPECT_FALSE(browser.Navigate(L"https://example.test/"));
}

TEST(WebBrowserWineTest, OnlyWebAddressesStartABrowserWindow) {
    ComApartment apartment;
    CWebBrowser window;
    EXPECT_FALSE(window.Open(L"file:///C:/windows/system32/calc.exe", 4));
    EXPECT_FALSE(window.Open(L"C:\\windows\\notepad.exe", 0));
    EXPECT_EQ(window.Browser(), nullptr);
    EXPECT_EQ(window.FrameWindow(), nullptr);
}

}  // namespace

namespace {

// Raises `id` through Invoke as the browser does (arguments last first), expects S_OK and gives what
// Cancel holds afterwards; takes `url`. `frame` is the navigating frame's object; a new window must
// stay null.
VARIANT_BOOL Raise(IDispatch* sink, DISPID id, VARIANT url, IDispatch* frame = nullptr,
                   const wchar_t* target = L"") {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    IDispatch* window = nullptr;
    VARIANT flags = Value(VT_I4);
    flags.lVal = id == DISPID_NEWWINDOW3 ? 0x6 : 0;  // NewWindow3: user-initiated, first window
    VARIANT text = Text(id == DISPID_NEWWINDOW3 ? L"https://ad.example/page" : target);
    VARIANT postData{}, headers{};
    const VARIANT frameObject = Value(VT_DISPATCH, frame);
    std::vector<VARIANT> arguments{Ref(VT_VARIANT, &url), frameObject};
    if (id == DISPID_BEFORENAVIGATE2)
        arguments = {Ref(VT_BOOL, &cancel),  Ref(VT_VARIANT, &headers), Ref(VT_VARIANT, &postData),
                     Ref(VT_VARIANT, &text), Ref(VT_VARIANT, &flags),   Ref(VT_VARIANT, &url),
                     frameObject};
    else if (id == DISPID_NEWWINDOW3)
        arguments = {url, text, flags, Ref(VT_BOOL, &cancel), Ref(VT_DISPATCH, &window)};
    else if (id == DISPID_NEWWINDOW2)
        arguments = {Ref(VT_BOOL, &cancel), Ref(VT_DISPATCH, &window)};
    DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    EXPECT_EQ(
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(window, nullptr);
    ::VariantClear(&text);
    ::VariantClear(&url);
    return cancel;
}

TEST(BrowserEventSinkWineTest, DocumentCompleteCarriesTheAddressUntilDisconnected) {
    RecordingEvents events;
    auto* sink = new CBrowserEventSink(&events);
    Raise(sink, DISPID_DOCUMENTCOMPLETE, Text(L"https://ad.example/page"));
    // Other events of the interface are not passed on.
    Raise(sink, DISPID_NAVIGATECOMPLETE2, Text(L"https://ad.example/other"));
    EXPECT_EQ(events.urls, (std::vector<std::wstring>{L"https://ad.example/page"}));

    IDispatch* events2 = nullptr;
    ASSERT_EQ(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&events2)), S_OK);
    EXPECT_EQ(events2, static_cast<IDispatch*>(sink));
    IUnknown* other = nullptr;
    EXPECT_EQ(sink->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(&other)), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    events2->Release();

    // A late event after the owner went reaches nobody.
    sink->Disconnect();
    Raise(sink, DISPID_DOCUMENTCOMPLETE, Text(L"https://ad.example/late"));
    EXPECT_EQ(events.urls.size(), 1u);
    EXPECT_EQ(sink->Release(), 0u);
}

TEST(BrowserEventSinkWineTest, BeforeNavigate2CancelsAllButWebPagesInTheTopFrameAndInSubFrames) {
    const std::pair<VARIANT_BOOL, std::vector<const wchar_t*>> cases[] = {
        {VARIANT_FALSE, {L"https://ad.example/page", L"HTTP://AD.EXAMPLE/frame.html"}},
        {VARIANT_TRUE,
         {L"file:///C:/Windows/System32/calc.exe", L"JavaScript:location='file:///C:/'", L"about:blank",
          L"res://ieframe.dll/navcancl.htm", L"ms-settings:windowsupdate", L"mailto:someone@example.test",
          L" javascript:alert(1)"}},
    };
    // Without a DocumentComplete callback the rule holds alike. Only the frames' identity counts.
    auto* top = new CBrowserEventSink(nullptr);
    auto* subFrame = new CBrowserEventSink(nullptr);
    auto* sink = new CBrowserEventSink(nullptr, [](const std::wstring&) { ADD_FAILURE() << "opened"; });
    for (const auto& [expected, urls] : cases)
        for (const wchar_t* url : urls) {
            EXPECT_EQ(Raise(sink, DISPID_BEFORENAVIGATE2, Text(url), top), expected) << "top frame " << url;
            EXPECT_EQ(Raise(sink, DISPID_BEFORENAVIGATE2, Text(url), subFrame, L"adframe"), expected)
                << "sub-frame " << url;
        }
    // An address that is no text is refused; after the owner went, navigations are still decided.
    EXPECT_EQ(Raise(sink, DISPID_BEFORENAVIGATE2, Value(VT_I4), subFrame, L"adframe"), VARIANT_TRUE);
    sink->Disconnect();
    EXPECT_EQ(Raise(sink, DISPID_BEFORENAVIGATE2, Text(L"file:///C:/x.exe"), top), VARIANT_TRUE);
    EXPECT_EQ(Raise(sink, DISPID_BEFORENAVIGATE2, Text(L"https://ad.example/late"), top), VARIANT_FALSE);
    for (CBrowserEventSink* object : {sink, top, subFrame})
        EXPECT_EQ(object->Release(), 0u);
}

TEST(BrowserEventSinkWineTest, NewWindowsOpenNothingInsideAndOnlyWebAddressesGoToTheOpener) {
    std::vector<std::wstring> opened;
    auto* sink = new CBrowserEventSink(nullptr, [&](const std::wstring& url) { opened.push_back(url); });
    // The rule of links: a space keeps an address from the shell too.
    for (const wchar_t* url : {L"https://ad.example/offer", L"http://ad.example/a b", L"javascript:open()",
                               L"file:///C:/Windows/System32/calc.exe", L"about:blank",
                               L"mailto:someone@example.test", L"ms-settings:privacy"})
        EXPECT_EQ(Raise(sink, DISPID_NEWWINDOW3, Text(url)), VARIANT_TRUE) << url;
    EXPECT_EQ(opened, (std::vector<std::wstring>{L"https://ad.example/offer"}));
    // NewWindow2 names no address: refused, nothing opened; disconnected, the sink opens nothing.
    EXPECT_EQ(Raise(sink, DISPID_NEWWINDOW2, {}), VARIANT_TRUE);
    sink->Disconnect();
    EXPECT_EQ(Raise(sink, DISPID_NEWWINDOW3, Text(L"https://ad.example/late")), VARIANT_TRUE);
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(sink->Release(), 0u);
}

class CFakeActiveObject final : public IOleInPlaceActiveObject {
  public:
    STDMETHODIMP QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP GetWindow(HWND*) override { return E_NOTIMPL; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG) override {
        ++offered;
        return answer;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    ULONG references = 1;
    HRESULT answer = S_OK;
    int offered = 0;
};

TEST(BrowserSiteWineTest, TheSiteKeepsTheActiveObjectAndOffersItTheKeysOfWindowsInsideTheHost) {
    HWND parent = MakeParent();
    ASSERT_NE(parent, nullptr);
    const auto child = [](HWND owner) {
        return ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 50, 50, owner, nullptr, nullptr, nullptr);
    };
    HWND host = child(parent), page = child(host), beside = child(parent);
    auto* site = new CBrowserSite(host);
    IOleInPlaceFrame* frame = static_cast<IOleInPlaceFrame*>(site);
    CFakeActiveObject first, second;
    ASSERT_EQ(frame->SetActiveObject(&first, L"page"), S_OK);
    EXPECT_EQ(site->ActiveObject(), &first);
    EXPECT_EQ(first.references, 2u);

    const struct { const char* name; HWND hwnd; UINT message; HRESULT answer; bool translated; int offered; }
        cases[] = {
            {"Tab or a copy key inside the page", page, WM_KEYDOWN, S_OK, true, 1},
            {"a character to the host", host, WM_CHAR, S_OK, true, 1},
            {"the page passes: the dialog manager goes on", page, WM_KEYDOWN, S_FALSE, false, 1},
            {"no key", page, WM_MOUSEMOVE, S_OK, false, 0},
            {"another control of the dialog", beside, WM_KEYDOWN, S_OK, false, 0},
        };
    for (const auto& c : cases) {
        first.offered = 0;
        first.answer = c.answer;
        MSG message{c.hwnd, c.message, VK_TAB, 0, 0, {}};
        EXPECT_EQ(site->TranslateKeyboardMessage(message), c.translated) << c.name;
        EXPECT_EQ(first.offered, c.offered) << c.name;
    }

    // A new active object lets go of the old one; none (deactivation), the host going and the
    // site's end each let go of what it holds, and a site without host takes none.
    frame->SetActiveObject(&second, nullptr);
    EXPECT_EQ(first.references, 1u);
    EXPECT_EQ(second.references, 2u);
    frame->SetActiveObject(nullptr, nullptr);
    EXPECT_EQ(second.references, 1u);
    MSG key{page, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(site->TranslateKeyboardMessage(key));
    frame->SetActiveObject(&first, nullptr);
    site->Detach();
    EXPECT_EQ(first.references, 1u);
    frame->SetActiveObject(&second, nullptr);
    EXPECT_EQ(site->ActiveObject(), nullptr);
    auto* other = new CBrowserSite(host);
    static_cast<IOleInPlaceFrame*>(other)->SetActiveObject(&first, nullptr);
    EXPECT_EQ(static_cast<IOleClientSite*>(other)->Release(), 0u);
    EXPECT_EQ(first.references, 1u);
    EXPECT_EQ(static_cast<IOleClientSite*>(site)->Release(), 0u);
    ::DestroyWindow(parent);
}

TEST(BrowserSiteWineTest, TheSiteIsOneObjectWhoseFrameAndWindowAreTheHosts) {
    HWND parent = MakeParent();
    ASSERT_NE(parent, nullptr);
    HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 5, 5, 120, 80, parent, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    auto* site = new CBrowserSite(host);
    IOleClientSite* client = static_cast<IOleClientSite*>(site);

    IOleInPlaceSite* inPlace = nullptr;
    ASSERT_EQ(client->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)), S_OK);
    IUnknown* identity1 = nullptr;
    IUnknown* identity2 = nullptr;
    client->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity1));
    inPlace->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity2));
    EXPECT_EQ(identity1, identity2);  // COM identity: one object whatever the way in
    identity1->Release();
    identity2->Release();

    HWND window = nullptr;
    EXPECT_EQ(inPlace->GetWindow(&window), S_OK);
    EXPECT_EQ(window, host);
    EXPECT_EQ(inPlace->CanInPlaceActivate(), S_OK);

    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    RECT position{};
    RECT clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof(info);
    ASSERT_EQ(inPlace->GetWindowContext(&frame, &document, &position, &clip, &info), S_OK);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(document, nullptr);
    EXPECT_EQ(position.right - position.left, 120);
    EXPECT_EQ(position.bottom - position.top, 80);
    EXPECT_EQ(clip.right, position.right);
    EXPECT_EQ(info.hwndFrame, parent);
    EXPECT_EQ(frame->TranslateAccelerator(nullptr, 0), S_FALSE);  // every key goes to the page
    frame->Release();

    // Once the host is gone the site names no window and refuses activation.
    site->Detach();
    EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(inPlace->CanInPlaceActivate(), S_FALSE);
    inPlace->Release();
    EXPECT_EQ(client->Release(), 0u);
    ::DestroyWindow(parent);
}

}  // namespace

namespace {

TEST(IeCookieApiWineTest, TheObjectIsAvailableExactlyWhenIeframeHasBothFunctions) {
    HMODULE ieframe = ::LoadLibraryW(L"ieframe.dll");
    const bool hasBoth = ieframe && ::GetProcAddress(ieframe, "IEIsProtectedModeURL") &&
                         ::GetProcAddress(ieframe, "IEGetProtectedModeCookie");
    CProtectedModeCookieSync sync(CreateIeCookieApi());
    // Wine runs nothing in protected mode: no address is a protected-mode one, nothing is copied.
    EXPECT_FALSE(sync.IsProtectedModeUrl(L"https://ad.example/"));
    sync.SyncCookies(L"https://ad.example/", std::wstring(L"CP=\"NOI\""));
    EXPECT_EQ(sync.Available(), hasBoth);
    if (ieframe)
        ::FreeLibrary(ieframe);
}

}  // namespace
