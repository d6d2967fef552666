// tivolan_driver.exe: the hands of the end-to-end tests inside Wine. Each subcommand does one thing to
// the windows of another process and prints its result on stdout (UTF-8, one value a line).
// Exit codes: 0 done (or yes), 1 not found, timed out or no, 2 bad arguments or a failed call.
#include "common/platform/com_ptr.h"
#include "common/platform/unique_resource.h"
#include "tests/e2e/driver_codec.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kTrayClass[] = L"TivolanTray-9EF72DB2-DE72-4A37-B070-F4C65D09B3D8";
constexpr wchar_t kTrayTitle[] = L"Tivolan Tray Window";
// Wine's explorer shows each notification-area icon in a window of this class, owned by explorer.
constexpr wchar_t kWineTrayIconClass[] = L"__wine_tray_icon";
constexpr wchar_t kWineTaskbarClass[] = L"Shell_TrayWnd";
constexpr UINT kTrayCallback = WM_USER + 100;
constexpr UINT kMessageTimeoutMs = 10000;

enum Exit { kOk = 0, kNo = 1, kError = 2 };

struct DcTraits {
    using Type = HDC;
    static Type Empty() { return nullptr; }
    static void Close(Type dc) { ::DeleteDC(dc); }
};

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Empty() { return nullptr; }
    static void Close(Type object) { ::DeleteObject(object); }
};

// The screen DC that GetDC hands out goes back through ReleaseDC with its window.
class ScreenDc {
  public:
    explicit ScreenDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~ScreenDc() {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return m_dc; }

  private:
    HWND m_window;
    HDC m_dc;
};

// Memory placed in another process, for messages whose pointers the receiver reads in its own space.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, SIZE_T size)
        : m_process(process), m_address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (m_address)
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    void* Get() const { return m_address; }

  private:
    HANDLE m_process;
    void* m_address;
};

void PrintLine(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

void PrintLine(const std::wstring& text) {
    PrintLine(e2e::ToUtf8(text));
}

int Fail(const std::string& message, int code = kError) {
    std::fprintf(stderr, "tivolan_driver: %s\n", message.c_str());
    return code;
}

std::string HandleText(HWND window) {
    char text[32];
    std::snprintf(text, sizeof(text), "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

std::optional<HWND> ArgWindow(const wchar_t* text) {
    const auto value = e2e::ParseHandle(text);
    if (!value || !IsWindow(reinterpret_cast<HWND>(static_cast<UINT_PTR>(*value))))
        return std::nullopt;
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(*value));
}

std::optional<std::int64_t> ArgNumber(const wchar_t* text) {
    return e2e::ParseNumber(text);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, ARRAYSIZE(name));
    return name;
}

// WM_GETTEXT is marshalled between processes, unlike reading the caption, and reaches edit controls.
std::optional<std::wstring> WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length))
        return std::nullopt;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied))
        return std::nullopt;
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

struct WindowQuery {
    std::wstring className;  // empty: any
    std::wstring title;      // empty: any
    bool visibleOnly = false;
    HWND found = nullptr;
    std::optional<int> controlId = std::nullopt;  // only windows with a child of that id
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM lParam) {
    auto* query = reinterpret_cast<WindowQuery*>(lParam);
    if (query->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    if (!query->className.empty() && ClassOf(window) != query->className)
        return TRUE;
    if (query->controlId && !GetDlgItem(window, *query->controlId))
        return TRUE;
    if (!query->title.empty()) {
        wchar_t title[512] = {};
        GetWindowTextW(window, title, ARRAYSIZE(title));
        if (query->title != title)
            return TRUE;
    }
    query->found = window;
    return FALSE;
}

HWND FindTopLevel(WindowQuery query) {
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

std::wstring AnyOr(const wchar_t* text) {
    return std::wstring(text) == L"-" ? std::wstring() : std::wstring(text);
}

// The host's wall clock (Wine reads the same one), in microseconds since 1970, so the host can time
// another process's start against the moment the driver saw its window.
std::int64_t UnixMicroseconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(
        &now);  // Wine reads the host clock to the microsecond; Windows 7 has no precise call
    const std::int64_t ticks = (static_cast<std::int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;
    return (ticks - kTicksFrom1601To1970) / 10;
}

// wait-window CLASS|- TITLE|- TIMEOUT_MS [--visible] [--control ID] [--text CONTROL_ID] [--stamp]:
// prints the handle; --control takes only a window with a child of that id (a message box's text is
// 65535, which tells it from a dialog of the same caption), --text also prints the control's text as
// soon as the window is found (a countdown moves on while the host starts a second driver), --stamp
// the moment it was found (UnixMicroseconds; the search then runs every 2 ms instead of every 50).
int WaitWindow(int argc, wchar_t** argv) {
    if (argc < 3)
        return Fail("usage: wait-window CLASS|- TITLE|- TIMEOUT_MS [--visible] [--text CONTROL_ID]");
    const auto timeout = ArgNumber(argv[2]);
    if (!timeout || *timeout < 0)
        return Fail("wait-window: bad timeout");
    WindowQuery query{AnyOr(argv[0]), AnyOr(argv[1]), false};
    std::optional<std::int64_t> textId;
    bool stamp = false;
    for (int i = 3; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--visible")
            query.visibleOnly = true;
        else if (option == L"--stamp")
            stamp = true;
        else if (option == L"--text" && i + 1 < argc && (textId = ArgNumber(argv[++i])))
            continue;
        else if (const auto id = option == L"--control" && i + 1 < argc ? ArgNumber(argv[++i]) : std::nullopt)
            query.controlId = static_cast<int>(*id);
        else
            return Fail("wait-window: bad option");
    }
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(*timeout);
    for (;;) {
        if (HWND window = FindTopLevel(query)) {
            const std::int64_t foundAt = UnixMicroseconds();
            PrintLine(HandleText(window));
            if (stamp)
                PrintLine(std::to_string(foundAt));
            if (!textId)
                return kOk;
            HWND control = GetDlgItem(window, static_cast<int>(*textId));
            const auto text = control ? WindowText(control) : std::nullopt;
            if (!text)
                return Fail("wait-window: no such control", kNo);
            PrintLine(*text);
            return kOk;
        }
        if (GetTickCount64() >= end)
            return Fail("wait-window: no such window", kNo);
        Sleep(stamp ? 2 : 50);
    }
}

// gone CLASS|- TITLE|- TIMEOUT_MS [--visible]: with --visible, a hidden window counts as gone.
int Gone(int argc, wchar_t** argv) {
    if (argc < 3 || argc > 4)
        return Fail("usage: gone CLASS|- TITLE|- TIMEOUT_MS [--visible]");
    const auto timeout = ArgNumber(argv[2]);
    if (!timeout || *timeout < 0 || (argc == 4 && std::wstring(argv[3]) != L"--visible"))
        return Fail("gone: bad timeout or option");
    WindowQuery query{AnyOr(argv[0]), AnyOr(argv[1]), argc == 4};
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(*timeout);
    for (;;) {
        if (!FindTopLevel(query))
            return kOk;
        if (GetTickCount64() >= end)
            return Fail("gone: the window is still there", kNo);
        Sleep(50);
    }
}

// command HWND ID
int Command(int argc, wchar_t** argv) {
    if (argc != 2)
        return Fail("usage: command HWND ID");
    const auto window = ArgWindow(argv[0]);
    const auto id = ArgNumber(argv[1]);
    if (!window || !id || *id < 0 || *id > 0xFFFF)
        return Fail("command: no such window or bad id", kNo);
    if (!PostMessageW(*window, WM_COMMAND, static_cast<WPARAM>(*id), 0))
        return Fail("command: PostMessage failed");
    return kOk;
}

// post HWND MESSAGE WPARAM LPARAM: any message, as another program could post it.
int Post(int argc, wchar_t** argv) {
    if (argc != 4)
        return Fail("usage: post HWND MESSAGE WPARAM LPARAM");
    const auto window = ArgWindow(argv[0]);
    const auto message = ArgNumber(argv[1]);
    const auto wParam = ArgNumber(argv[2]);
    const auto lParam = ArgNumber(argv[3]);
    if (!window || !message || *message < 0 || *message > 0xFFFF || !wParam || !lParam)
        return Fail("post: no such window or a bad number", kNo);
    if (!PostMessageW(*window, static_cast<UINT>(*message), static_cast<WPARAM>(*wParam),
                      static_cast<LPARAM>(*lParam)))
        return Fail("post: PostMessage failed");
    return kOk;
}

// send-copydata HWND DWDATA LENGTH TEXT|--raw HEX [HEX...]: with several payloads they go one right
// after the other (between two ticks of the receiver's timers), one answer line each.
int SendCopyData(int argc, wchar_t** argv) {
    if (argc < 4)
        return Fail("usage: send-copydata HWND DWDATA LENGTH TEXT|--raw HEX [HEX...]");
    const auto window = ArgWindow(argv[0]);
    const auto dwData = ArgNumber(argv[1]);
    const auto length = ArgNumber(argv[2]);
    if (!window)
        return Fail("send-copydata: no such window", kNo);
    if (!dwData || !length || *length < 0 || *length > 0x1000000)
        return Fail("send-copydata: bad dwData or length");
    std::vector<std::vector<std::uint8_t>> payloads;
    if (std::wstring(argv[3]) == L"--raw") {
        if (argc < 5)
            return Fail("send-copydata: --raw needs the bytes in hex");
        for (int i = 4; i < argc; ++i) {
            const auto decoded = e2e::DecodeHex(argv[i]);
            if (!decoded)
                return Fail("send-copydata: bad hex");
            payloads.push_back(*decoded);
        }
    } else {
        if (argc != 4)
            return Fail("send-copydata: one text only");
        payloads.push_back(e2e::Utf16Bytes(argv[3]));
    }
    for (auto& payload : payloads) {
        std::vector<std::uint8_t> bytes = e2e::FitPayload(std::move(payload), static_cast<std::size_t>(*length));
        COPYDATASTRUCT copy = {};
        copy.dwData = static_cast<ULONG_PTR>(*dwData);
        copy.cbData = static_cast<DWORD>(*length);
        copy.lpData = bytes.empty() ? nullptr : bytes.data();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(*window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG,
                                 kMessageTimeoutMs, &result))
            return Fail("send-copydata: no answer (" + std::to_string(GetLastError()) + ")");
        PrintLine(std::to_string(static_cast<long long>(result)));
    }
    return kOk;
}

// text HWND [CONTROL_ID]
int Text(int argc, wchar_t** argv) {
    if (argc < 1 || argc > 2)
        return Fail("usage: text HWND [CONTROL_ID]");
    auto window = ArgWindow(argv[0]);
    if (!window)
        return Fail("text: no such window", kNo);
    HWND target = *window;
    if (argc == 2) {
        const auto id = ArgNumber(argv[1]);
        if (!id || !(target = GetDlgItem(*window, static_cast<int>(*id))))
            return Fail("text: no such control", kNo);
    }
    const auto text = WindowText(target);
    if (!text)
        return Fail("text: the window does not answer");
    PrintLine(*text);
    return kOk;
}

// children HWND: one line per descendant, "ID<TAB>CLASS<TAB>VISIBLE<TAB>TEXT"
BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    const auto text = WindowText(child);
    PrintLine(std::to_string(GetDlgCtrlID(child)) + "\t" + e2e::ToUtf8(ClassOf(child)) + "\t" +
              (IsWindowVisible(child) ? "1" : "0") + "\t" + e2e::ToUtf8(text.value_or(L"")));
    return TRUE;
}

int Children(int argc, wchar_t** argv) {
    if (argc != 1)
        return Fail("usage: children HWND");
    const auto window = ArgWindow(argv[0]);
    if (!window)
        return Fail("children: no such window", kNo);
    EnumChildWindows(*window, PrintChild, 0);
    return kOk;
}

// click HWND CONTROL_ID: a push on an enabled button, else the command its parent would get.
int Click(int argc, wchar_t** argv) {
    if (argc != 2)
        return Fail("usage: click HWND CONTROL_ID");
    const auto window = ArgWindow(argv[0]);
    const auto id = ArgNumber(argv[1]);
    if (!window || !id || *id < 0 || *id > 0xFFFF)
        return Fail("click: no such window or bad id", kNo);
    HWND control = GetDlgItem(*window, static_cast<int>(*id));
    if (control && !IsWindowEnabled(control))
        return Fail("click: the control is disabled", kNo);
    BOOL posted = FALSE;
    if (control && _wcsicmp(ClassOf(control).c_str(), L"Button") == 0)
        posted = PostMessageW(control, BM_CLICK, 0, 0);
    else
        posted = PostMessageW(*window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(*id), BN_CLICKED),
                              reinterpret_cast<LPARAM>(control));
    return posted ? kOk : Fail("click: PostMessage failed");
}

// list: one line per top-level window, "HWND<TAB>PID<TAB>VISIBLE<TAB>CLASS<TAB>TITLE", to see what a
// failed test had on the screen.
BOOL CALLBACK PrintTopLevel(HWND window, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t title[512] = {};
    GetWindowTextW(window, title, ARRAYSIZE(title));
    PrintLine(HandleText(window) + "\t" + std::to_string(pid) + "\t" + (IsWindowVisible(window) ? "1" : "0") +
              "\t" + e2e::ToUtf8(ClassOf(window)) + "\t" + e2e::ToUtf8(title));
    return TRUE;
}

int List(int argc, wchar_t**) {
    if (argc != 0)
        return Fail("usage: list");
    EnumWindows(PrintTopLevel, 0);
    return kOk;
}

int YesNo(bool yes) {
    PrintLine(std::string(yes ? "1" : "0"));
    return yes ? kOk : kNo;
}

int Visible(int argc, wchar_t** argv) {
    const auto window = argc == 1 ? ArgWindow(argv[0]) : std::nullopt;
    return window ? YesNo(IsWindowVisible(*window)) : Fail("usage: visible HWND (an existing window)");
}

int Enabled(int argc, wchar_t** argv) {
    const auto window = argc == 1 ? ArgWindow(argv[0]) : std::nullopt;
    return window ? YesNo(IsWindowEnabled(*window)) : Fail("usage: enabled HWND (an existing window)");
}

// Window rectangle in screen coordinates and the extended style, as "left top right bottom exstyle".
int Rect(int argc, wchar_t** argv) {
    const auto window = argc == 1 ? ArgWindow(argv[0]) : std::nullopt;
    RECT rect{};
    if (!window || !GetWindowRect(*window, &rect))
        return Fail("usage: rect HWND (an existing window)");
    std::printf("%ld %ld %ld %ld 0x%lx\n", rect.left, rect.top, rect.right, rect.bottom,
                static_cast<unsigned long>(GetWindowLongPtrW(*window, GWL_EXSTYLE)));
    return 0;
}

int Pid(int argc, wchar_t** argv) {
    const auto window = argc == 1 ? ArgWindow(argv[0]) : std::nullopt;
    if (!window)
        return Fail("usage: pid HWND (an existing window)");
    DWORD pid = 0;
    GetWindowThreadProcessId(*window, &pid);
    PrintLine(std::to_string(pid));
    return pid ? kOk : kError;
}

// peak-memory PID: the peak working set in bytes.
int PeakMemory(int argc, wchar_t** argv) {
    const auto pid = argc == 1 ? ArgNumber(argv[0]) : std::nullopt;
    if (!pid || *pid <= 0 || *pid > 0xFFFFFFFF)
        return Fail("usage: peak-memory PID");
    UniqueHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, static_cast<DWORD>(*pid)));
    if (!process)
        return Fail("peak-memory: cannot open the process", kNo);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process.Get(), &counters, sizeof(counters)))
        return Fail("peak-memory: GetProcessMemoryInfo failed (" + std::to_string(GetLastError()) + ")");
    PrintLine(std::to_string(static_cast<unsigned long long>(counters.PeakWorkingSetSize)));
    return kOk;
}

// One notification-area icon as Wine's explorer shows it: its tooltip control and, where it can be
// told, the window that added the icon.
struct TrayIcon {
    HWND tooltip = nullptr;
    HWND owner = nullptr;
    std::wstring tip;
};

BOOL CALLBACK CollectTooltip(HWND window, LPARAM lParam) {
    if (ClassOf(window) == TOOLTIPS_CLASSW)
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

// Later Wine versions keep each icon in a window of its own, whose user data is explorer's record of
// the icon: a list link (two pointers) and the image handle come before the owner's handle.
HWND ReadIconOwner(HANDLE explorer, HWND iconWindow) {
    const auto record = GetWindowLongPtrW(iconWindow, GWLP_USERDATA);
    if (!record)
        return nullptr;
    UINT_PTR owner = 0;
    SIZE_T read = 0;
    const auto address = reinterpret_cast<const void*>(record + 3 * sizeof(void*));
    if (!ReadProcessMemory(explorer, address, &owner, sizeof(owner), &read) || read != sizeof(owner))
        return nullptr;
    return reinterpret_cast<HWND>(owner);
}

// The first tool of a tooltip control in another process: the tool record and the text buffer are
// placed in that process, since the control reads and writes them in its own address space.
std::optional<TTTOOLINFOW> ReadFirstTool(HANDLE process, HWND tooltip, std::wstring& text) {
    constexpr SIZE_T kChars = 1024;
    RemoteBuffer remote(process, sizeof(TTTOOLINFOW) + kChars * sizeof(wchar_t));
    if (!remote.Get())
        return std::nullopt;
    auto* remoteInfo = static_cast<BYTE*>(remote.Get());
    auto* remoteText = reinterpret_cast<wchar_t*>(remoteInfo + sizeof(TTTOOLINFOW));
    TTTOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.lpszText = remoteText;
    std::vector<wchar_t> buffer(kChars, L'\0');
    SIZE_T done = 0;
    if (!WriteProcessMemory(process, remoteInfo, &info, sizeof(info), &done) ||
        !WriteProcessMemory(process, remoteText, buffer.data(), buffer.size() * sizeof(wchar_t), &done))
        return std::nullopt;
    DWORD_PTR ok = 0;
    if (!SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(remoteInfo),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ok) ||
        !ok)
        return std::nullopt;
    if (!ReadProcessMemory(process, remoteInfo, &info, sizeof(info), &done) ||
        !ReadProcessMemory(process, remoteText, buffer.data(), buffer.size() * sizeof(wchar_t), &done))
        return std::nullopt;
    buffer.back() = L'\0';
    text = buffer.data();
    return info;
}

// Wine 8 gives every icon a tooltip control owned by the taskbar window, with one tool whose window
// is the taskbar itself; nothing outside explorer's own list tells which program added it. Later
// versions own the tooltip by a window per icon, whose record names the program's window.
std::optional<std::vector<TrayIcon>> ReadTrayIcons() {
    std::vector<HWND> tooltips;
    EnumWindows(CollectTooltip, reinterpret_cast<LPARAM>(&tooltips));
    std::vector<TrayIcon> icons;
    for (HWND tooltip : tooltips) {
        HWND owner = GetWindow(tooltip, GW_OWNER);
        const std::wstring ownerClass = owner ? ClassOf(owner) : std::wstring();
        const bool perIconWindow = ownerClass == kWineTrayIconClass;
        if (!perIconWindow && ownerClass != kWineTaskbarClass)
            continue;
        DWORD pid = 0;
        GetWindowThreadProcessId(tooltip, &pid);
        UniqueHandle explorer(
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                        FALSE, pid));
        if (!explorer)
            return std::nullopt;
        TrayIcon icon{tooltip, nullptr, {}};
        const auto tool = ReadFirstTool(explorer.Get(), tooltip, icon.tip);
        if (!tool)
            return std::nullopt;
        // The taskbar's clock (later versions) is the taskbar's tool number 1; icons use 0 there. Wine 8
        // leaves the tooltip of a removed icon behind, its tool moved beyond the taskbar's right edge.
        if (!perIconWindow) {
            RECT client = {};
            RECT overlap = {};
            GetClientRect(owner, &client);
            if (tool->uId != 0 || !IntersectRect(&overlap, &client, &tool->rect))
                continue;
        }
        if (perIconWindow)
            icon.owner = ReadIconOwner(explorer.Get(), owner);
        icons.push_back(std::move(icon));
    }
    return icons;
}

// tray-tip [CLASS TITLE | --all]: the tooltip of the notification-area icon of that window (Tivolan's
// tray window when none is named), or of every icon, one a line.
int TrayTip(int argc, wchar_t** argv) {
    const bool all = argc == 1 && std::wstring(argv[0]) == L"--all";
    if (!all && argc != 0 && argc != 2)
        return Fail("usage: tray-tip [CLASS TITLE | --all]");
    const auto icons = ReadTrayIcons();
    if (!icons)
        return Fail("tray-tip: cannot read the notification area's tooltips");
    if (all) {
        for (const TrayIcon& icon : *icons)
            PrintLine(icon.tip);
        return icons->empty() ? kNo : kOk;
    }
    HWND owner =
        FindTopLevel({argc == 2 ? AnyOr(argv[0]) : kTrayClass, argc == 2 ? AnyOr(argv[1]) : kTrayTitle});
    if (!owner)
        return Fail("tray-tip: no such window", kNo);
    for (const TrayIcon& icon : *icons) {
        if (icon.owner == owner) {
            PrintLine(icon.tip);
            return kOk;
        }
    }
    // Without owners (Wine 8) only a notification area holding one icon can be read without doubt;
    // the tests run in a desktop of their own, where that icon is the program's.
    const bool anyOwnerKnown =
        std::any_of(icons->begin(), icons->end(), [](const TrayIcon& icon) { return icon.owner != nullptr; });
    if (!anyOwnerKnown && icons->size() == 1) {
        PrintLine(icons->front().tip);
        return kOk;
    }
    return Fail("tray-tip: " + std::to_string(icons->size()) + " icons shown, none known to be that window's",
                kNo);
}

// right-click-tray [CLASS TITLE]: what the notification area sends when the icon is right-clicked.
int RightClickTray(int argc, wchar_t** argv) {
    if (argc != 0 && argc != 2)
        return Fail("usage: right-click-tray [CLASS TITLE]");
    HWND tray = argc == 2 ? FindTopLevel({AnyOr(argv[0]), AnyOr(argv[1]), false})
                          : FindWindowW(kTrayClass, kTrayTitle);
    if (!tray)
        return Fail("right-click-tray: no such window", kNo);
    // The icon's own process (explorer) is the one that may make a window the foreground window, and
    // it allows the tray window to take that right, as it does before a real click is passed on.
    DWORD pid = 0;
    GetWindowThreadProcessId(tray, &pid);
    AllowSetForegroundWindow(pid);
    if (!PostMessageW(tray, kTrayCallback, 0, WM_RBUTTONUP))
        return Fail("right-click-tray: PostMessage failed");
    return kOk;
}

// close-menu: Escape to the open popup menu, as a user would press it; 1 when no menu is open.
int CloseMenu(int argc, wchar_t**) {
    if (argc != 0)
        return Fail("usage: close-menu");
    // The menu's own message loop reads the key from its thread's queue, whichever window it is for.
    HWND menu = FindTopLevel({L"#32768", L"", true});
    if (!menu)
        return Fail("close-menu: no menu is open", kNo);
    if (!PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1))
        return Fail("close-menu: PostMessage failed (" + std::to_string(GetLastError()) + ")");
    // The menu may close on the key down before the key up is posted: then there is nothing to post to.
    if (!PostMessageW(menu, WM_KEYUP, VK_ESCAPE, 0xC0000001) && IsWindow(menu))
        return Fail("close-menu: PostMessage failed (" + std::to_string(GetLastError()) + ")");
    return kOk;
}

// screenshot FILE.bmp [HWND]: the whole screen, or the screen area of one window as it is shown.
int Screenshot(int argc, wchar_t** argv) {
    if (argc < 1 || argc > 2)
        return Fail("usage: screenshot FILE.bmp [HWND]");
    RECT area = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    area.right = area.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    area.bottom = area.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (argc == 2) {
        const auto window = ArgWindow(argv[1]);
        RECT rect;
        if (!window || !GetWindowRect(*window, &rect))
            return Fail("screenshot: no such window", kNo);
        if (!IntersectRect(&area, &area, &rect))
            return Fail("screenshot: the window is off the screen", kNo);
    }
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    ScreenDc screen(nullptr);
    UniqueResource<DcTraits> memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueResource<GdiObjectTraits> bitmap(
        CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!screen.Get() || !memory || !bitmap || !bits)
        return Fail("screenshot: cannot make the bitmap");
    HGDIOBJ old = SelectObject(memory.Get(), bitmap.Get());
    const BOOL copied =
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory.Get(), old);
    if (!copied)
        return Fail("screenshot: BitBlt failed");
    GdiFlush();
    const auto* first = static_cast<const std::uint8_t*>(bits);
    const std::vector<std::uint8_t> pixels(first, first + static_cast<std::size_t>(width) * height * 4);
    const std::vector<std::uint8_t> file = e2e::EncodeBmp24(width, height, pixels);
    UniqueHandle out(
        CreateFileW(argv[0], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (out.Get() == INVALID_HANDLE_VALUE) {
        out.Release();
        return Fail("screenshot: cannot write the file");
    }
    DWORD written = 0;
    if (file.empty() ||
        !WriteFile(out.Get(), file.data(), static_cast<DWORD>(file.size()), &written, nullptr) ||
        written != file.size())
        return Fail("screenshot: cannot write the file");
    PrintLine(std::to_string(width) + "x" + std::to_string(height));
    return kOk;
}

// --- Controls of dialog pages, the tab view and list views ---

// The control with that id anywhere below `window` (pages are grandchildren of the main dialog).
struct DescendantQuery {
    int id = 0;
    bool anyId = false;
    std::wstring className;
    HWND found = nullptr;
};

BOOL CALLBACK MatchDescendant(HWND child, LPARAM lParam) {
    auto* query = reinterpret_cast<DescendantQuery*>(lParam);
    if (!query->anyId && GetDlgCtrlID(child) != query->id)
        return TRUE;
    if (!query->className.empty() && _wcsicmp(ClassOf(child).c_str(), query->className.c_str()) != 0)
        return TRUE;
    query->found = child;
    return FALSE;
}

HWND FindDescendant(HWND window, std::optional<int> id, const std::wstring& className = {}) {
    DescendantQuery query{id.value_or(0), !id, className, nullptr};
    EnumChildWindows(window, MatchDescendant, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

// The control named by the arguments "HWND ID" (a direct child), or the window itself without an id.
std::optional<HWND> ArgControl(int argc, wchar_t** argv, int at) {
    const auto window = at < argc ? ArgWindow(argv[at]) : std::nullopt;
    if (!window)
        return std::nullopt;
    if (at + 1 >= argc)
        return window;
    const auto id = ArgNumber(argv[at + 1]);
    HWND control = id ? GetDlgItem(*window, static_cast<int>(*id)) : nullptr;
    return control ? std::optional<HWND>(control) : std::nullopt;
}

std::optional<LRESULT> SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

// A process handle able to place and read memory for a window's messages.
UniqueHandle OpenWindowProcess(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return UniqueHandle(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
}

bool WriteRemote(HANDLE process, void* at, const void* data, SIZE_T size) {
    SIZE_T done = 0;
    return WriteProcessMemory(process, at, data, size, &done) && done == size;
}

bool ReadRemote(HANDLE process, const void* at, void* data, SIZE_T size) {
    SIZE_T done = 0;
    return ReadProcessMemory(process, at, data, size, &done) && done == size;
}

// find HWND ID|- [CLASS]: the first descendant with that control id (and class); prints its handle
// and its parent's, so a test finds a page through one of its controls.
int Find(int argc, wchar_t** argv) {
    if (argc < 2 || argc > 3)
        return Fail("usage: find HWND ID|- [CLASS]");
    const auto window = ArgWindow(argv[0]);
    const bool anyId = std::wstring(argv[1]) == L"-";
    const auto id = anyId ? std::nullopt : ArgNumber(argv[1]);
    if (!window || (!anyId && !id) || (anyId && argc != 3))
        return Fail("find: no such window, or neither an id nor a class");
    HWND found = FindDescendant(*window, anyId ? std::nullopt : std::optional<int>(static_cast<int>(*id)),
                                argc == 3 ? std::wstring(argv[2]) : std::wstring());
    if (!found)
        return Fail("find: no such control", kNo);
    PrintLine(HandleText(found) + "\t" + HandleText(GetParent(found)));
    return kOk;
}

// set-text HWND ID TEXT: WM_SETTEXT, as a paste would leave the box; for an editable combo box it
// reaches the edit inside. Nothing is notified: moving the focus away is what makes a page read it.
int SetText(int argc, wchar_t** argv) {
    const auto control = argc == 3 ? ArgControl(argc, argv, 0) : std::nullopt;
    if (!control)
        return Fail("usage: set-text HWND ID TEXT (an existing control)");
    const auto done = SendTo(*control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
    if (!done || !*done)
        return Fail("set-text: WM_SETTEXT failed");
    return kOk;
}

// Runs `work` with this thread's input joined to the window's thread, which is what lets
// SetForegroundWindow and SetFocus reach the windows of another process.
template <typename Work>
bool WithJoinedInput(HWND window, Work work) {
    MSG unused;
    PeekMessageW(&unused, nullptr, 0, 0, PM_NOREMOVE);  // a thread takes part in input once it has a queue
    const DWORD target = GetWindowThreadProcessId(window, nullptr);
    const DWORD self = GetCurrentThreadId();
    const bool joined = target != self && AttachThreadInput(self, target, TRUE);
    const bool done = work();
    if (joined)
        AttachThreadInput(self, target, FALSE);
    return done;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// The window's top-level window becomes the foreground window and the window takes the focus, as a
// click would make it; true when the focus is then on it or inside it (a combo box's edit).
bool MoveFocus(HWND window) {
    return WithJoinedInput(window, [window] {
        SetForegroundWindow(GetAncestor(window, GA_ROOT));
        SetFocus(window);
        HWND now = GetFocus();
        return now == window || IsChild(window, now);
    });
}

// focus HWND [ID]: moves the keyboard focus there, so the control that had it loses it; prints the
// handle that has the focus afterwards.
int Focus(int argc, wchar_t** argv) {
    const auto control = argc == 1 || argc == 2 ? ArgControl(argc, argv, 0) : std::nullopt;
    if (!control)
        return Fail("usage: focus HWND [ID] (an existing control)");
    const bool moved = MoveFocus(*control);
    PrintLine(HandleText(FocusOf(*control)));
    return moved ? kOk : Fail("focus: the focus did not move there", kNo);
}

// focused HWND: the control that has the keyboard focus in the thread of that window, as
// "HANDLE<TAB>ID<TAB>CLASS"; 1 when none has.
int Focused(int argc, wchar_t** argv) {
    const auto window = argc == 1 ? ArgWindow(argv[0]) : std::nullopt;
    if (!window)
        return Fail("usage: focused HWND (an existing window)");
    HWND focus = FocusOf(*window);
    if (!focus)
        return Fail("focused: no window has the focus", kNo);
    PrintLine(HandleText(focus) + "\t" + std::to_string(GetDlgCtrlID(focus)) + "\t" +
              e2e::ToUtf8(ClassOf(focus)));
    return kOk;
}

// enter HWND ID TEXT NEXT_ID: a box typed into and left: the text set, the focus moved into the box
// and then to control NEXT_ID of the same dialog, so the box loses it as a user's would; prints the
// box's text afterwards (the dialog's answers to the focus change are sent, not posted, so they have
// run by then). The next control is named, not found by tab order: an unchecked radio button that
// takes the focus clicks itself.
int Enter(int argc, wchar_t** argv) {
    const auto control = argc == 4 ? ArgControl(argc, argv, 0) : std::nullopt;
    const auto nextId = argc == 4 ? ArgNumber(argv[3]) : std::nullopt;
    if (!control || !nextId)
        return Fail("usage: enter HWND ID TEXT NEXT_ID (an existing box)");
    HWND next = GetDlgItem(GetParent(*control), static_cast<int>(*nextId));
    if (!next || next == *control)
        return Fail("enter: no other control to move the focus on to", kNo);
    const auto set = SendTo(*control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
    if (!set || !*set)
        return Fail("enter: WM_SETTEXT failed");
    if (!MoveFocus(*control) || !MoveFocus(next))
        return Fail("enter: the focus did not move", kNo);
    const auto text = WindowText(*control);
    if (!text)
        return Fail("enter: the box does not answer");
    PrintLine(*text);
    return kOk;
}

// keys HWND CHORD: the window's top-level window in front with the focus on the window, then the
// chord ("ctrl+tab") typed through the system's input queue, where a message loop's filter and
// GetKeyState see it as they would a keyboard.
int Keys(int argc, wchar_t** argv) {
    const auto window = argc == 2 ? ArgWindow(argv[0]) : std::nullopt;
    const auto events = argc == 2 ? e2e::ParseKeyChord(argv[1]) : std::nullopt;
    if (!window || !events)
        return Fail("usage: keys HWND CHORD (an existing window; a chord such as ctrl+shift+tab)");
    if (!MoveFocus(*window))
        return Fail("keys: the window did not take the focus", kNo);
    std::vector<INPUT> inputs;
    for (const e2e::KeyEvent& event : *events) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = event.virtualKey;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(event.virtualKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = event.up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    }
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        return Fail("keys: SendInput failed (" + std::to_string(GetLastError()) + ")");
    return kOk;
}

// select HWND ID INDEX|--data N: picks a combo box entry by index or by item data and tells the
// parent as a user's choice would (CB_SETCURSEL itself notifies nobody); prints the index.
int Select(int argc, wchar_t** argv) {
    const bool byData = argc == 4 && std::wstring(argv[2]) == L"--data";
    const auto control = argc == 3 || byData ? ArgControl(argc, argv, 0) : std::nullopt;
    const auto wanted = ArgNumber(argv[argc - 1]);
    if (!control || !wanted)
        return Fail("usage: select HWND ID INDEX|--data N (an existing combo box)");
    std::int64_t index = *wanted;
    if (byData) {
        const auto count = SendTo(*control, CB_GETCOUNT, 0, 0);
        index = -1;
        for (LRESULT i = 0; count && i < *count && index < 0; ++i)
            if (SendTo(*control, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == static_cast<LRESULT>(*wanted))
                index = i;
        if (index < 0)
            return Fail("select: no entry carries that data", kNo);
    }
    const auto selected = SendTo(*control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (!selected || *selected != index)
        return Fail("select: no such entry", kNo);
    HWND parent = GetParent(*control);
    const WPARAM command = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(*control)), CBN_SELCHANGE);
    if (!SendTo(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(*control)))
        return Fail("select: the parent does not answer");
    PrintLine(std::to_string(static_cast<long long>(index)));
    return kOk;
}

// combo HWND ID: the selected index and its item data on the first line ("-1" alone with none),
// then one line per entry, "DATA<TAB>TEXT".
int Combo(int argc, wchar_t** argv) {
    const auto control = argc == 2 ? ArgControl(argc, argv, 0) : std::nullopt;
    if (!control)
        return Fail("usage: combo HWND ID (an existing combo box)");
    const auto count = SendTo(*control, CB_GETCOUNT, 0, 0);
    const auto selected = SendTo(*control, CB_GETCURSEL, 0, 0);
    if (!count || !selected || *count < 0)
        return Fail("combo: the control does not answer");
    const auto data = *selected >= 0 ? SendTo(*control, CB_GETITEMDATA, *selected, 0) : std::nullopt;
    PrintLine(std::to_string(static_cast<long long>(*selected)) +
              (data ? "\t" + std::to_string(static_cast<long long>(*data)) : std::string()));
    for (LRESULT i = 0; i < *count; ++i) {
        const auto length = SendTo(*control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(length && *length > 0 ? static_cast<std::size_t>(*length) + 1 : 1, L'\0');
        const auto copied =
            SendTo(*control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied && *copied > 0 ? static_cast<std::size_t>(*copied) : 0);
        const auto itemData = SendTo(*control, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
        PrintLine(std::to_string(static_cast<long long>(itemData.value_or(-1))) + "\t" + e2e::ToUtf8(text));
    }
    return kOk;
}

// drop-down HWND ID 1|0: opens or closes a drop-down combo box's list, as for a screenshot of its entries.
int DropDown(int argc, wchar_t** argv) {
    const auto control = argc == 3 ? ArgControl(argc - 1, argv, 0) : std::nullopt;
    const auto open = argc == 3 ? ArgNumber(argv[2]) : std::nullopt;
    if (!control || !open || (*open != 0 && *open != 1))
        return Fail("usage: drop-down HWND ID 1|0 (an existing combo box)");
    if (!SendTo(*control, CB_SHOWDROPDOWN, static_cast<WPARAM>(*open), 0))
        return Fail("drop-down: the control does not answer");
    const auto shown = SendTo(*control, CB_GETDROPPEDSTATE, 0, 0);
    return shown && (*shown != 0) == (*open == 1) ? kOk : Fail("drop-down: the list did not follow", kNo);
}

// checked HWND ID: 1 for a checked button (check box or radio button), else 0.
int Checked(int argc, wchar_t** argv) {
    const auto control = argc == 2 ? ArgControl(argc, argv, 0) : std::nullopt;
    if (!control)
        return Fail("usage: checked HWND ID (an existing button)");
    const auto state = SendTo(*control, BM_GETCHECK, 0, 0);
    return state ? YesNo(*state == BST_CHECKED) : Fail("checked: the button does not answer");
}

// progress HWND ID: a progress bar's position and its range, as "POS LOW HIGH".
int Progress(int argc, wchar_t** argv) {
    const auto control = argc == 2 ? ArgControl(argc, argv, 0) : std::nullopt;
    if (!control)
        return Fail("usage: progress HWND ID (an existing progress bar)");
    const auto position = SendTo(*control, PBM_GETPOS, 0, 0);
    const auto low = SendTo(*control, PBM_GETRANGE, TRUE, 0);
    const auto high = SendTo(*control, PBM_GETRANGE, FALSE, 0);
    if (!position || !low || !high)
        return Fail("progress: the control does not answer");
    PrintLine(std::to_string(static_cast<long long>(*position)) + " " +
              std::to_string(static_cast<long long>(*low)) + " " +
              std::to_string(static_cast<long long>(*high)));
    return kOk;
}

// The text of one list-view cell, asked for through a record in the list's own process.
std::optional<std::wstring> ListViewCell(HANDLE process, HWND list, int row, int column) {
    constexpr SIZE_T kChars = 512;
    RemoteBuffer remote(process, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    if (!remote.Get())
        return std::nullopt;
    auto* remoteItem = static_cast<BYTE*>(remote.Get());
    auto* remoteText = reinterpret_cast<wchar_t*>(remoteItem + sizeof(LVITEMW));
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = remoteText;
    item.cchTextMax = kChars;
    if (!WriteRemote(process, remoteItem, &item, sizeof(item)))
        return std::nullopt;
    const auto copied =
        SendTo(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remoteItem));
    if (!copied || *copied < 0 || static_cast<SIZE_T>(*copied) >= kChars)
        return std::nullopt;
    std::wstring text(static_cast<std::size_t>(*copied), L'\0');
    if (!text.empty() && !ReadRemote(process, remoteText, text.data(), text.size() * sizeof(wchar_t)))
        return std::nullopt;
    return text;
}

std::optional<int> ListViewColumns(HWND list) {
    const auto header = SendTo(list, LVM_GETHEADER, 0, 0);
    const auto count =
        header && *header ? SendTo(reinterpret_cast<HWND>(*header), HDM_GETITEMCOUNT, 0, 0) : std::nullopt;
    return count && *count >= 0 ? std::optional<int>(static_cast<int>(*count)) : std::nullopt;
}

// rows HWND ID: one line per list-view row, its cells joined by tabs; a selected row starts with "*".
int Rows(int argc, wchar_t** argv) {
    const auto list = argc == 2 ? ArgControl(argc, argv, 0) : std::nullopt;
    if (!list)
        return Fail("usage: rows HWND ID (an existing list view)");
    UniqueHandle process = OpenWindowProcess(*list);
    const auto count = SendTo(*list, LVM_GETITEMCOUNT, 0, 0);
    const auto columns = ListViewColumns(*list);
    if (!process || !count || !columns)
        return Fail("rows: the list cannot be read");
    for (int row = 0; row < *count; ++row) {
        const auto state = SendTo(*list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED);
        std::wstring line = state && (*state & LVIS_SELECTED) ? L"*" : L"";
        for (int column = 0; column < *columns; ++column) {
            const auto cell = ListViewCell(process.Get(), *list, row, column);
            if (!cell)
                return Fail("rows: a cell cannot be read");
            line += (column ? L"\t" : L"") + *cell;
        }
        PrintLine(line);
    }
    return kOk;
}

// columns HWND ID: one line per list-view column, "HEADER<TAB>WIDTH".
int Columns(int argc, wchar_t** argv) {
    const auto list = argc == 2 ? ArgControl(argc, argv, 0) : std::nullopt;
    if (!list)
        return Fail("usage: columns HWND ID (an existing list view)");
    UniqueHandle process = OpenWindowProcess(*list);
    const auto columns = ListViewColumns(*list);
    if (!process || !columns)
        return Fail("columns: the list cannot be read");
    constexpr SIZE_T kChars = 256;
    for (int column = 0; column < *columns; ++column) {
        RemoteBuffer remote(process.Get(), sizeof(LVCOLUMNW) + kChars * sizeof(wchar_t));
        auto* remoteColumn = static_cast<BYTE*>(remote.Get());
        if (!remoteColumn)
            return Fail("columns: no memory in the list's process");
        auto* remoteText = reinterpret_cast<wchar_t*>(remoteColumn + sizeof(LVCOLUMNW));
        LVCOLUMNW info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.pszText = remoteText;
        info.cchTextMax = kChars;
        std::vector<wchar_t> text(kChars, L'\0');
        if (!WriteRemote(process.Get(), remoteColumn, &info, sizeof(info)) ||
            !SendTo(*list, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                    reinterpret_cast<LPARAM>(remoteColumn))
                 .value_or(0) ||
            !ReadRemote(process.Get(), remoteColumn, &info, sizeof(info)) ||
            !ReadRemote(process.Get(), remoteText, text.data(), text.size() * sizeof(wchar_t)))
            return Fail("columns: a column cannot be read");
        text.back() = L'\0';
        PrintLine(e2e::ToUtf8(text.data()) + "\t" + std::to_string(info.cx));
    }
    return kOk;
}

// select-row HWND ID ROW: selects and focuses that list-view row, as a click on it would.
int SelectRow(int argc, wchar_t** argv) {
    const auto list = argc == 3 ? ArgControl(argc, argv, 0) : std::nullopt;
    const auto row = argc == 3 ? ArgNumber(argv[2]) : std::nullopt;
    if (!list || !row)
        return Fail("usage: select-row HWND ID ROW (an existing list view)");
    UniqueHandle process = OpenWindowProcess(*list);
    RemoteBuffer remote(process.Get(), sizeof(LVITEMW));
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (!process || !remote.Get() || !WriteRemote(process.Get(), remote.Get(), &item, sizeof(item)))
        return Fail("select-row: no memory in the list's process");
    const auto done =
        SendTo(*list, LVM_SETITEMSTATE, static_cast<WPARAM>(*row), reinterpret_cast<LPARAM>(remote.Get()));
    const auto selected = SendTo(*list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (!done || !*done || !selected || *selected != *row)
        return Fail("select-row: no such row", kNo);
    return kOk;
}

// The tab strip of a window that holds a tab view.
HWND TabStripOf(HWND window) {
    return _wcsicmp(ClassOf(window).c_str(), WC_TABCONTROLW) == 0
               ? window
               : FindDescendant(window, std::nullopt, WC_TABCONTROLW);
}

// tab HWND: the selected tab of the window's tab strip, then every visible page window (the dialogs
// beside the strip), one a line.
int Tab(int argc, wchar_t** argv) {
    const auto window = argc == 1 ? ArgWindow(argv[0]) : std::nullopt;
    HWND strip = window ? TabStripOf(*window) : nullptr;
    if (!strip)
        return Fail("usage: tab HWND (a window with a tab strip)");
    const auto selected = SendTo(strip, TCM_GETCURSEL, 0, 0);
    if (!selected)
        return Fail("tab: the tab strip does not answer");
    PrintLine(std::to_string(static_cast<long long>(*selected)));
    for (HWND page = GetWindow(GetParent(strip), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (page != strip && IsWindowVisible(page))
            PrintLine(HandleText(page));
    return kOk;
}

// click-tab HWND INDEX: the mouse pressed and released in the middle of that tab, so the strip
// itself changes the selection and tells its parent.
int ClickTab(int argc, wchar_t** argv) {
    const auto window = argc == 2 ? ArgWindow(argv[0]) : std::nullopt;
    const auto index = argc == 2 ? ArgNumber(argv[1]) : std::nullopt;
    HWND strip = window ? TabStripOf(*window) : nullptr;
    if (!strip || !index)
        return Fail("usage: click-tab HWND INDEX (a window with a tab strip)");
    UniqueHandle process = OpenWindowProcess(strip);
    RemoteBuffer remote(process.Get(), sizeof(RECT));
    RECT rect = {};
    if (!process || !remote.Get() ||
        !SendTo(strip, TCM_GETITEMRECT, static_cast<WPARAM>(*index), reinterpret_cast<LPARAM>(remote.Get()))
             .value_or(0) ||
        !ReadRemote(process.Get(), remote.Get(), &rect, sizeof(rect)))
        return Fail("click-tab: no such tab", kNo);
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    if (!PostMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, at) || !PostMessageW(strip, WM_LBUTTONUP, 0, at))
        return Fail("click-tab: PostMessage failed");
    return kOk;
}

// --- Shell folders and shortcut files ---

class ComApartment {
  public:
    ComApartment() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    HRESULT m_result;
};

// desktop-folder: the current user's desktop folder, as a program asks the shell for it.
int DesktopFolder(int argc, wchar_t**) {
    wchar_t path[MAX_PATH] = {};
    if (argc != 0)
        return Fail("usage: desktop-folder");
    if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOP, FALSE))
        return Fail("desktop-folder: the shell knows no desktop folder", kNo);
    PrintLine(std::wstring(path));
    return kOk;
}

// temp-folder: the temporary folder a program of this user gets from GetTempPath.
int TempFolder(int argc, wchar_t**) {
    wchar_t path[MAX_PATH + 1] = {};
    if (argc != 0)
        return Fail("usage: temp-folder");
    const DWORD length = GetTempPathW(ARRAYSIZE(path), path);
    if (length == 0 || length >= ARRAYSIZE(path))
        return Fail("temp-folder: GetTempPath failed");
    PrintLine(std::wstring(path, length));
    return kOk;
}

// read-link FILE.lnk: the shortcut's target, arguments, icon file and icon index, one a line.
int ReadLink(int argc, wchar_t** argv) {
    if (argc != 1)
        return Fail("usage: read-link FILE.lnk");
    ComApartment apartment;
    HRESULT hr = S_OK;
    auto link = CreateComObject<IShellLinkW>(CLSID_ShellLink, &hr);
    auto file = link.As<IPersistFile>();
    if (!link || !file)
        return Fail("read-link: no shell link object (" + std::to_string(static_cast<long>(hr)) + ")");
    if (FAILED(file->Load(argv[0], STGM_READ)))
        return Fail("read-link: cannot load the file", kNo);
    wchar_t target[MAX_PATH] = {};
    wchar_t arguments[1024] = {};
    wchar_t icon[MAX_PATH] = {};
    int iconIndex = 0;
    if (FAILED(link->GetPath(target, ARRAYSIZE(target), nullptr, SLGP_RAWPATH)) ||
        FAILED(link->GetArguments(arguments, ARRAYSIZE(arguments))) ||
        FAILED(link->GetIconLocation(icon, ARRAYSIZE(icon), &iconIndex)))
        return Fail("read-link: the shortcut cannot be read");
    PrintLine(std::wstring(target));
    PrintLine(std::wstring(arguments));
    PrintLine(std::wstring(icon));
    PrintLine(std::to_string(iconIndex));
    return kOk;
}

// hold-desktop: stays on the desktop until ended. Wine closes a desktop a second after the last
// program on it ends, and the next program to need it starts a new explorer, which inherits that
// program's output handles: a run holds its desktop from start to end instead.
int HoldDesktop(int argc, wchar_t**) {
    if (argc != 0)
        return Fail("usage: hold-desktop");
    if (!GetDesktopWindow())
        return Fail("hold-desktop: no desktop");
    for (;;)
        Sleep(INFINITE);
}

struct Subcommand {
    const wchar_t* name;
    int (*run)(int, wchar_t**);
};

constexpr Subcommand kSubcommands[] = {
    {L"wait-window", WaitWindow},
    {L"gone", Gone},
    {L"command", Command},
    {L"post", Post},
    {L"send-copydata", SendCopyData},
    {L"text", Text},
    {L"children", Children},
    {L"click", Click},
    {L"visible", Visible},
    {L"enabled", Enabled},
    {L"rect", Rect},
    {L"pid", Pid},
    {L"peak-memory", PeakMemory},
    {L"tray-tip", TrayTip},
    {L"right-click-tray", RightClickTray},
    {L"close-menu", CloseMenu},
    {L"screenshot", Screenshot},
    {L"list", List},
    {L"find", Find},
    {L"set-text", SetText},
    {L"focus", Focus},
    {L"focused", Focused},
    {L"enter", Enter},
    {L"keys", Keys},
    {L"select", Select},
    {L"combo", Combo},
    {L"checked", Checked},
    {L"drop-down", DropDown},
    {L"progress", Progress},
    {L"rows", Rows},
    {L"columns", Columns},
    {L"select-row", SelectRow},
    {L"tab", Tab},
    {L"click-tab", ClickTab},
    {L"desktop-folder", DesktopFolder},
    {L"temp-folder", TempFolder},
    {L"read-link", ReadLink},
    {L"hold-desktop", HoldDesktop},
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // The host reads the lines, so no carriage returns.
    _setmode(_fileno(stdout), _O_BINARY);
    // Windows of another desktop (such as Wine's "explorer /desktop=NAME") are visible only from a
    // thread of that desktop; this thread has no windows yet, so it may still move there.
    if (argc >= 3 && std::wstring(argv[1]) == L"--desktop") {
        HDESK desktop = OpenDesktopW(argv[2], 0, FALSE, GENERIC_ALL);
        if (!desktop || !SetThreadDesktop(desktop))
            return Fail("cannot enter desktop " + e2e::ToUtf8(argv[2]) + " (" +
                        std::to_string(GetLastError()) + ")");
        argc -= 2;
        argv += 2;
    }
    if (argc >= 2) {
        for (const Subcommand& sub : kSubcommands) {
            if (std::wstring(argv[1]) == sub.name) {
                const int code = sub.run(argc - 2, argv + 2);
                std::fflush(stdout);
                return code;
            }
        }
    }
    std::fputs(
        "usage: tivolan_driver [--desktop NAME] SUBCOMMAND ARGS (wait-window, gone, command, send-copydata, "
        "text, children, rect,\n"
        "       list, click, visible, enabled, pid, peak-memory, tray-tip, right-click-tray, close-menu,\n"
        "       screenshot, find, set-text, focus, focused, enter, keys, select, combo, drop-down, checked, "
        "progress, rows, columns,\n"
        "       select-row, tab, click-tab, desktop-folder, temp-folder, read-link, hold-desktop)\n",
        stderr);
    return kError;
}
