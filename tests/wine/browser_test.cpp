// The browser integration against Wine: the emulation value for Wine's own "ieframe.dll", the user
// agent read back from urlmon, RunProgram, and the embedded control's host. Wine has no rendering
// engine here, so the control may exist without ever showing a page; the host must cope either way.

#include <windows.h>

#include <exdisp.h>
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

    SetBrowserUserAgent(L"QPTestAgent/2.5 (probe)");
    char buffer[512] = {};
    DWORD length = 0;
    // urlmon answers E_OUTOFMEMORY even when the agent fits (as Windows does); the text and its
    // length with the terminator are what count.
    getOption(0x10000001, buffer, sizeof(buffer), &length, 0);
    EXPECT_EQ(length, 24u);
    EXPECT_STREQ(buffer, "QPTestAgent/2.5 (probe)");
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
