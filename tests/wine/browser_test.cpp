// The browser integration against Wine: the emulation value for Wine's own "ieframe.dll", the user
// agent read back from urlmon, RunProgram, and the embedded control's host. Wine has no rendering
// engine here, so the control may exist without ever showing a page; the host must cope either way.

#include <windows.h>

#include <exdisp.h>
#include <exdispid.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdio>
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
    HMODULE urlmon = ::LoadLibraryW(L"urlmon.dll");
    ASSERT_NE(urlmon, nullptr);
    using GetOption = HRESULT(WINAPI*)(DWORD, LPVOID, DWORD, DWORD*, DWORD);
    const auto getOption = reinterpret_cast<GetOption>(
        reinterpret_cast<void*>(::GetProcAddress(urlmon, "UrlMkGetSessionOption")));
    ASSERT_NE(getOption, nullptr);

    // Each row sets an agent from a version document and reads back what every later request of
    // the embedded browser sends: controls gone, at most 255 characters, and an agent with nothing
    // left leaves the one before.
    const struct {
        std::wstring agent;
        std::string sent;
    } cases[] = {
        {L"QPTestAgent/2.5 (probe)", "QPTestAgent/2.5 (probe)"},
        {L"QPTestAgent/2.6\r\nX-Injected: 1\t", "QPTestAgent/2.6X-Injected: 1"},
        {std::wstring(300, L'q'), std::string(255, 'q')},
        {L"\r\n", std::string(255, 'q')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent.substr(0, 20));
        SetBrowserUserAgent(c.agent);
        char buffer[512] = {};
        DWORD length = 0;
        // urlmon answers E_OUTOFMEMORY even when the agent fits (as Windows does); the text and its
        // length with the terminator are what count.
        getOption(0x10000001, buffer, sizeof(buffer), &length, 0);
        EXPECT_EQ(length, c.sent.size() + 1);
        EXPECT_EQ(std::string(buffer), c.sent);
    }
    ::FreeLibrary(urlmon);
}

TEST(RunProgramWineTest, WaitsForTheProcessInTheGivenDirectory) {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
    std::wstring directory = std::wstring(temp) + L"qp_run_program_test";
    ::CreateDirectoryW(directory.c_str(), nullptr);
    const std::wstring output = directory + L"\\out.txt";
    ::DeleteFileW(output.c_str());

    ASSERT_TRUE(RunProgram(L"cmd.exe /c cd > out.txt", true, directory.c_str()));
    // Waited for: the file is complete as soon as RunProgram returns.
    FILE* file = ::_wfopen(output.c_str(), L"rb");
    ASSERT_NE(file, nullptr);
    char text[512] = {};
    const size_t read = ::fread(text, 1, sizeof(text) - 1, file);
    ::fclose(file);
    const std::string line(text, read);
    EXPECT_NE(line.find("qp_run_program_test"), std::string::npos) << line;

    EXPECT_FALSE(RunProgram(L"qp_no_such_program_here.exe", true, nullptr));
    EXPECT_FALSE(RunProgram(L"cmd.exe /c exit", false, L"C:\\qp\\no\\such\\folder"));
    ::DeleteFileW(output.c_str());
    ::RemoveDirectoryW(directory.c_str());
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
        // Nothing rendered, so no element can be measured.
        EXPECT_FALSE(browser.RenderedElementSize(L"ad").has_value());
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
        EXPECT_FALSE(browser.RenderedElementSize(nullptr).has_value());
    }
    // The object took its window and the control with it; the parent survives.
    EXPECT_FALSE(::IsWindow(host));
    EXPECT_TRUE(::IsWindow(parent));
    ::DestroyWindow(parent);
}

std::wstring LocationOf(IWebBrowser2* browser) {
    BSTR location = nullptr;
    if (FAILED(browser->get_LocationURL(&location)) || !location)
        return std::wstring();
    std::wstring text(location, ::SysStringLen(location));
    ::SysFreeString(location);
    return text;
}

// Runs the thread's messages until the control's address is `expected` or `ms` have passed (Wine's
// control moves within a few milliseconds); gives the address it ended on.
std::wstring PumpUntilLocation(IWebBrowser2* browser, const std::wstring& expected, DWORD ms) {
    const DWORD start = ::GetTickCount();
    std::wstring location = LocationOf(browser);
    while (location != expected && ::GetTickCount() - start < ms) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(5);
        location = LocationOf(browser);
    }
    return location;
}

TEST(WebBrowser2WineTest, TheHostedControlStaysOnTheWebWhateverItIsAskedToOpen) {
    ComApartment apartment;
    HWND parent = MakeParent();
    ASSERT_NE(parent, nullptr);
    {
        CWebBrowser2 browser;
        ASSERT_TRUE(browser.CreateHost(parent, RECT{0, 0, 200, 100}, 3, nullptr));
        ASSERT_TRUE(browser.HasControl());
        IWebBrowser2* control = browser.Browser();
        const std::wstring start = L"http://127.0.0.1:9/start";
        ASSERT_TRUE(browser.Navigate(start));
        ASSERT_EQ(PumpUntilLocation(control, start, 3000), start);

        // Asked of the control itself, as a page's script, link or redirect would: Wine's control
        // raises BeforeNavigate2 through the host's sink, which cancels. (Without the sink each of
        // these moves the control within milliseconds.)
        for (const wchar_t* url : {L"about:blank", L"file:///C:/windows/win.ini", L"FILE:///C:/windows/",
                                   L"res://ieframe.dll/navcancl.htm", L"javascript:alert(1)"}) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(url)));
            BSTR address = ::SysAllocString(url);
            VARIANT empty;
            ::VariantInit(&empty);
            control->Navigate(address, &empty, &empty, &empty, &empty);
            ::SysFreeString(address);
            EXPECT_EQ(PumpUntilLocation(control, url, 300), start);
        }
        // A web page still goes ahead.
        const std::wstring next = L"https://127.0.0.1:9/next";
        BSTR address = ::SysAllocString(next.c_str());
        VARIANT empty;
        ::VariantInit(&empty);
        control->Navigate(address, &empty, &empty, &empty, &empty);
        ::SysFreeString(address);
        EXPECT_EQ(PumpUntilLocation(control, next, 3000), next);
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

// DocumentComplete as the browser delivers it: arguments last first, the address as a VARIANT by
// reference.
HRESULT SendDocumentComplete(IDispatch* sink, DISPID id, const wchar_t* url) {
    BSTR text = ::SysAllocString(url);
    VARIANT address;
    ::VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = text;
    VARIANT arguments[2];
    ::VariantInit(&arguments[0]);
    ::VariantInit(&arguments[1]);
    arguments[0].vt = VT_BYREF | VT_VARIANT;
    arguments[0].pvarVal = &address;
    arguments[1].vt = VT_DISPATCH;
    arguments[1].pdispVal = nullptr;
    DISPPARAMS params{arguments, nullptr, 2, 0};
    const HRESULT result =
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    ::SysFreeString(text);
    return result;
}

TEST(BrowserEventSinkWineTest, DocumentCompleteCarriesTheAddressUntilDisconnected) {
    RecordingEvents events;
    auto* sink = new CBrowserEventSink(&events);
    EXPECT_EQ(SendDocumentComplete(sink, 259, L"https://ad.example/page"), S_OK);
    // Other events of the interface (here NavigateComplete2, 252) are not passed on.
    EXPECT_EQ(SendDocumentComplete(sink, 252, L"https://ad.example/other"), S_OK);
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
    EXPECT_EQ(SendDocumentComplete(sink, 259, L"https://ad.example/late"), S_OK);
    EXPECT_EQ(events.urls.size(), 1u);
    EXPECT_EQ(sink->Release(), 0u);
}

// A frame's automation object as the events name it: only its identity matters to the sink.
class CFakeFrame final : public IDispatch {
  public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    ULONG references = 1;
};

VARIANT Text(BSTR text) {
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = text;
    return value;
}

VARIANT ByReference(VARIANT* value) {
    VARIANT reference;
    ::VariantInit(&reference);
    reference.vt = VT_BYREF | VT_VARIANT;
    reference.pvarVal = value;
    return reference;
}

VARIANT CancelFlag(VARIANT_BOOL* flag) {
    VARIANT reference;
    ::VariantInit(&reference);
    reference.vt = VT_BYREF | VT_BOOL;
    reference.pboolVal = flag;
    return reference;
}

// BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel) as the browser
// raises it: arguments last first, all but pDisp VARIANTs by reference, Cancel a VARIANT_BOOL by
// reference, FALSE on the way in. Gives what Cancel holds afterwards.
VARIANT_BOOL SendBeforeNavigate(IDispatch* sink, IDispatch* frame, VARIANT url, const wchar_t* target) {
    BSTR targetText = ::SysAllocString(target);
    BSTR headersText = ::SysAllocString(L"");
    VARIANT flags;
    ::VariantInit(&flags);
    flags.vt = VT_I4;
    flags.lVal = 0;
    VARIANT targetValue = Text(targetText);
    VARIANT postData;
    ::VariantInit(&postData);
    VARIANT headers = Text(headersText);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT arguments[7];
    arguments[6].vt = VT_DISPATCH;
    arguments[6].pdispVal = frame;
    arguments[5] = ByReference(&url);
    arguments[4] = ByReference(&flags);
    arguments[3] = ByReference(&targetValue);
    arguments[2] = ByReference(&postData);
    arguments[1] = ByReference(&headers);
    arguments[0] = CancelFlag(&cancel);
    DISPPARAMS params{arguments, nullptr, 7, 0};
    EXPECT_EQ(sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                           nullptr, nullptr, nullptr),
              S_OK);
    ::SysFreeString(targetText);
    ::SysFreeString(headersText);
    return cancel;
}

VARIANT_BOOL SendBeforeNavigate(IDispatch* sink, IDispatch* frame, const std::wstring& url, const wchar_t* target) {
    BSTR text = ::SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
    const VARIANT_BOOL cancel = SendBeforeNavigate(sink, frame, Text(text), target);
    ::SysFreeString(text);
    return cancel;
}

struct NewWindowResult {
    VARIANT_BOOL cancel;
    IDispatch* window;
};

// NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl), arguments last first: the window
// pointer and Cancel by reference, the rest by value.
NewWindowResult SendNewWindow(IDispatch* sink, const std::wstring& url, long flags) {
    BSTR context = ::SysAllocString(L"https://ad.example/page");
    BSTR address = ::SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
    NewWindowResult result{VARIANT_FALSE, nullptr};
    VARIANT arguments[5];
    for (VARIANT& argument : arguments)
        ::VariantInit(&argument);
    arguments[4].vt = VT_BYREF | VT_DISPATCH;
    arguments[4].ppdispVal = &result.window;
    arguments[3] = CancelFlag(&result.cancel);
    arguments[2].vt = VT_I4;
    arguments[2].lVal = flags;
    arguments[1] = Text(context);
    arguments[0] = Text(address);
    DISPPARAMS params{arguments, nullptr, 5, 0};
    EXPECT_EQ(sink->Invoke(DISPID_NEWWINDOW3, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                           nullptr, nullptr),
              S_OK);
    ::SysFreeString(context);
    ::SysFreeString(address);
    return result;
}

struct NavigationCase {
    std::wstring url;
    bool allowed;
};

// Web pages, and what a hostile page could ask for instead: local files, script, the browser's own
// pages and resources, protocol handlers that start programs, and schemes smuggled behind blanks,
// controls or letter case.
const std::vector<NavigationCase>& NavigationCases() {
    static const std::vector<NavigationCase> cases = {
        {L"https://ad.example/page", true},
        {L"HTTP://AD.EXAMPLE/", true},
        {L"http://127.0.0.1:8080/frame.html?x=1#y", true},
        {L"hTTpS://ad.example/a b", true},
        {L"file:///C:/Windows/System32/calc.exe", false},
        {L"FILE://server/share/setup.exe", false},
        {L"C:\\Windows\\notepad.exe", false},
        {L"\\\\server\\share\\setup.exe", false},
        {L"javascript:alert(1)", false},
        {L"JavaScript:location='file:///C:/'", false},
        {L"vbscript:msgbox(1)", false},
        {L"about:blank", false},
        {L"ABOUT:<script>alert(1)</script>", false},
        {L"res://ieframe.dll/navcancl.htm", false},
        {L"ms-settings:windowsupdate", false},
        {L"mailto:someone@example.test", false},
        {L"search-ms:query=setup", false},
        {L" javascript:alert(1)", false},
        {L"\x01javascript:alert(1)", false},
        {L" https://ad.example/", false},
        {L"\thttps://ad.example/", false},
        {L"ht\ttp://ad.example/", false},
        {L"https://ad.example/\nfile:///C:/x", false},
        {std::wstring(L"https://ad.example/\0javascript:", 31), false},
        {L"httpx://ad.example/", false},
        {L"", false},
    };
    return cases;
}

TEST(BrowserEventSinkWineTest, BeforeNavigate2CancelsAllButWebPagesInTheTopFrameAndInSubFrames) {
    CFakeFrame top;
    CFakeFrame subFrame;
    // The checker's dialog hosts its page without a DocumentComplete callback: the rule holds alike.
    RecordingEvents events;
    for (IBrowserEvents* owner : {static_cast<IBrowserEvents*>(&events), static_cast<IBrowserEvents*>(nullptr)}) {
        auto* sink = new CBrowserEventSink(owner, [](const std::wstring&) {});
        for (const NavigationCase& c : NavigationCases()) {
            SCOPED_TRACE(testing::PrintToString(c.url));
            const VARIANT_BOOL expected = c.allowed ? VARIANT_FALSE : VARIANT_TRUE;
            EXPECT_EQ(SendBeforeNavigate(sink, &top, c.url, L""), expected) << "top frame";
            EXPECT_EQ(SendBeforeNavigate(sink, &subFrame, c.url, L"adframe"), expected) << "sub-frame";
        }
        // An address that is no text is no web address.
        VARIANT number;
        ::VariantInit(&number);
        number.vt = VT_I4;
        number.lVal = 80;
        EXPECT_EQ(SendBeforeNavigate(sink, &top, number, L""), VARIANT_TRUE);
        VARIANT nothing;
        ::VariantInit(&nothing);
        EXPECT_EQ(SendBeforeNavigate(sink, &subFrame, nothing, L"adframe"), VARIANT_TRUE);
        // A late navigation after the owner went is still refused.
        sink->Disconnect();
        EXPECT_EQ(SendBeforeNavigate(sink, &top, L"file:///C:/x.exe", L""), VARIANT_TRUE);
        EXPECT_EQ(SendBeforeNavigate(sink, &top, L"https://ad.example/late", L""), VARIANT_FALSE);
        EXPECT_EQ(sink->Release(), 0u);
    }
    EXPECT_TRUE(events.urls.empty());
    EXPECT_EQ(top.references, 1u);
    EXPECT_EQ(subFrame.references, 1u);
}

TEST(BrowserEventSinkWineTest, NewWindow3OpensNothingInsideAndHandsOnlyWebAddressesToTheOpener) {
    struct Case {
        std::wstring url;
        bool opened;
    };
    // The rule of links: a space or a missing host keeps an address from the shell too.
    const Case cases[] = {
        {L"https://ad.example/offer", true},
        {L"HTTP://ad.example/offer?a=1", true},
        {L"http://ad.example/a b", false},
        {L"https://", false},
        {L"javascript:window.open('file:///C:/')", false},
        {L"file:///C:/Windows/System32/calc.exe", false},
        {L"about:blank", false},
        {L"res://ieframe.dll/navcancl.htm", false},
        {L"mailto:someone@example.test", false},
        {L"ms-settings:privacy", false},
        {L" https://ad.example/offer", false},
        {L"", false},
    };
    std::vector<std::wstring> opened;
    auto* sink = new CBrowserEventSink(nullptr, [&](const std::wstring& url) { opened.push_back(url); });
    for (const Case& c : cases) {
        // A click (user-initiated, first window) and a page's own script alike.
        for (const long flags : {0x2L | 0x4L, 0L}) {
            SCOPED_TRACE(testing::PrintToString(c.url) + " flags " + std::to_string(flags));
            opened.clear();
            const NewWindowResult result = SendNewWindow(sink, c.url, flags);
            EXPECT_EQ(result.cancel, VARIANT_TRUE);
            EXPECT_EQ(result.window, nullptr);
            EXPECT_EQ(opened, c.opened ? std::vector<std::wstring>{c.url} : std::vector<std::wstring>{});
        }
    }

    // NewWindow2(ppDisp, Cancel), the older event that names no address: refused, nothing opened.
    IDispatch* window = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT arguments[2];
    ::VariantInit(&arguments[1]);
    arguments[1].vt = VT_BYREF | VT_DISPATCH;
    arguments[1].ppdispVal = &window;
    arguments[0] = CancelFlag(&cancel);
    DISPPARAMS params{arguments, nullptr, 2, 0};
    opened.clear();
    EXPECT_EQ(sink->Invoke(DISPID_NEWWINDOW2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                           nullptr, nullptr),
              S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(window, nullptr);

    // Once disconnected the sink still refuses the window but opens nothing for an owner that went.
    sink->Disconnect();
    EXPECT_EQ(SendNewWindow(sink, L"https://ad.example/late", 0x2).cancel, VARIANT_TRUE);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(sink->Release(), 0u);
}

// The control's in-place active object as the site sees it: counts its references and the keys
// offered to it, and answers as told.
class CFakeActiveObject final : public IOleInPlaceActiveObject {
  public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceActiveObject) {
            *object = static_cast<IOleInPlaceActiveObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP GetWindow(HWND*) override { return E_NOTIMPL; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG message) override {
        offered.push_back(message->message);
        return answer;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    ULONG references = 1;
    HRESULT answer = S_OK;
    std::vector<UINT> offered;
};

TEST(BrowserSiteWineTest, TheSiteKeepsTheActiveObjectAndOffersItTheKeysOfWindowsInsideTheHost) {
    HWND parent = MakeParent();
    ASSERT_NE(parent, nullptr);
    HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 5, 5, 120, 80, parent, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    HWND page = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 120, 80, host, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    HWND beside = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 130, 5, 60, 20, parent, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(page, nullptr);
    ASSERT_NE(beside, nullptr);
    auto* site = new CBrowserSite(host);
    IOleInPlaceFrame* frame = static_cast<IOleInPlaceFrame*>(site);
    CFakeActiveObject first;
    CFakeActiveObject second;

    MSG key{};
    key.hwnd = page;
    key.message = WM_KEYDOWN;
    key.wParam = VK_TAB;
    EXPECT_FALSE(site->TranslateKeyboardMessage(key)) << "nothing active yet";

    ASSERT_EQ(frame->SetActiveObject(&first, L"page"), S_OK);
    EXPECT_EQ(site->ActiveObject(), &first);
    EXPECT_EQ(first.references, 2u);

    struct Case {
        HWND window;
        UINT message;
        HRESULT answer;
        bool offered;
        bool translated;
    };
    const Case cases[] = {
        {page, WM_KEYDOWN, S_OK, true, true},       // Tab inside the page
        {page, WM_KEYUP, S_OK, true, true},
        {host, WM_CHAR, S_OK, true, true},
        {page, WM_SYSKEYDOWN, S_OK, true, true},
        {page, WM_KEYDOWN, S_FALSE, true, false},   // the page passes: the dialog manager moves on
        {page, WM_MOUSEMOVE, S_OK, false, false},   // no key
        {page, WM_TIMER, S_OK, false, false},
        {beside, WM_KEYDOWN, S_OK, false, false},   // another control of the dialog
        {parent, WM_KEYDOWN, S_OK, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "message " << c.message);
        first.offered.clear();
        first.answer = c.answer;
        MSG message{};
        message.hwnd = c.window;
        message.message = c.message;
        EXPECT_EQ(site->TranslateKeyboardMessage(message), c.translated);
        EXPECT_EQ(first.offered.size(), c.offered ? 1u : 0u);
    }

    // A new active object replaces the old one, which is let go; none (deactivation) lets go of it.
    ASSERT_EQ(frame->SetActiveObject(&second, nullptr), S_OK);
    EXPECT_EQ(first.references, 1u);
    EXPECT_EQ(second.references, 2u);
    EXPECT_TRUE(site->TranslateKeyboardMessage(key));
    EXPECT_EQ(second.offered.size(), 1u);
    ASSERT_EQ(frame->SetActiveObject(nullptr, nullptr), S_OK);
    EXPECT_EQ(second.references, 1u);
    EXPECT_EQ(site->ActiveObject(), nullptr);
    EXPECT_FALSE(site->TranslateKeyboardMessage(key));

    // The host going lets go of the active object, and a site without host keeps none.
    frame->SetActiveObject(&first, nullptr);
    site->Detach();
    EXPECT_EQ(first.references, 1u);
    EXPECT_EQ(site->ActiveObject(), nullptr);
    frame->SetActiveObject(&second, nullptr);
    EXPECT_EQ(second.references, 1u);
    EXPECT_FALSE(site->TranslateKeyboardMessage(key));

    // The site's last reference takes an active object with it.
    auto* other = new CBrowserSite(host);
    static_cast<IOleInPlaceFrame*>(other)->SetActiveObject(&first, nullptr);
    EXPECT_EQ(first.references, 2u);
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
