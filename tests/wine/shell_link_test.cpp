// Shortcut files, the taskbar pin, the desktop folder and the theme calls against Wine's shell32 and
// uxtheme: what a shortcut file holds when read back through the shell, replacing an older file,
// failing where no file can be written, and a pin that never leaves its temporary shortcut behind.

#include <windows.h>

#include <propsys.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <uxtheme.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "common/path/file_system.h"
#include "common/path/path.h"
#include "common/platform/com_ptr.h"
#include "common/platform/unique_resource.h"
#include "scheduler/ui/shell_link.h"
#include "scheduler/ui/shortcut_name.h"
#include "scheduler/ui/ux_theme.h"

namespace {

constexpr PROPERTYKEY kAppUserModelIdKey = {
    {0x9F4C2855, 0x9F79, 0x4B39, {0xA8, 0xD0, 0xE1, 0xD4, 0x2D, 0xE1, 0xD5, 0xF3}},
    5};

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Join(std::wstring base, const wchar_t* name) {
    AppendPath(base, name);
    return base;
}

std::string ReadBytes(const std::wstring& path) {
    UniqueHandle file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Release();
        return std::string();
    }
    char buffer[256];
    DWORD read = 0;
    if (!::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr))
        return std::string();
    return std::string(buffer, read);
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Release();
        return false;
    }
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// What the shell reads back from a shortcut file.
struct ReadShortcut {
    std::wstring target, arguments, iconPath, workingFolder, description;
    int iconIndex = -1;
    WORD hotKey = 0;
    int showCommand = 0;
    bool storeReadable = false;  // the link has a property store that can be read
    std::optional<std::wstring> appUserModelId;
};

std::optional<ReadShortcut> Load(const std::wstring& path) {
    ComPtr<IShellLinkW> link = CreateComObject<IShellLinkW>(CLSID_ShellLink);
    ComPtr<IPersistFile> file = link.As<IPersistFile>();
    if (!file || FAILED(file->Load(path.c_str(), STGM_READ)))
        return std::nullopt;
    ReadShortcut read;
    wchar_t buffer[1024];
    if (SUCCEEDED(link->GetPath(buffer, 1024, nullptr, SLGP_RAWPATH)))
        read.target = buffer;
    if (SUCCEEDED(link->GetArguments(buffer, 1024)))
        read.arguments = buffer;
    if (SUCCEEDED(link->GetIconLocation(buffer, 1024, &read.iconIndex)))
        read.iconPath = buffer;
    if (SUCCEEDED(link->GetWorkingDirectory(buffer, 1024)))
        read.workingFolder = buffer;
    if (SUCCEEDED(link->GetDescription(buffer, 1024)))
        read.description = buffer;
    link->GetHotkey(&read.hotKey);
    // Wine's loader ignores the stored show command, so it is read from the file's header, where the
    // link format keeps it (a 32-bit value at offset 0x3C).
    const std::string bytes = ReadBytes(path);
    if (bytes.size() >= 0x40)
        std::memcpy(&read.showCommand, bytes.data() + 0x3C, sizeof(read.showCommand));
    if (ComPtr<IPropertyStore> store = link.As<IPropertyStore>()) {
        PROPVARIANT value;
        ::PropVariantInit(&value);
        const HRESULT hr = store->GetValue(kAppUserModelIdKey, &value);
        read.storeReadable = hr != E_NOTIMPL;
        if (SUCCEEDED(hr) && value.vt == VT_LPWSTR && value.pwszVal)
            read.appUserModelId = value.pwszVal;
        ::PropVariantClear(&value);
    }
    return read;
}

class ShellLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        m_folder = MakeUniqueTempName(L"qpl", true);
        ASSERT_FALSE(m_folder.empty());
        ASSERT_TRUE(CreateDirectoryTree(m_folder));
        m_program = GetModuleFilePath();
        ASSERT_FALSE(m_program.empty());
    }
    void TearDown() override {
        DeleteDirectoryTree(m_folder);
        ::CoUninitialize();
    }

    std::wstring m_folder;
    std::wstring m_program;
};

TEST_F(ShellLinkTest, EveryFieldReadsBack) {
    ShortcutDescription shortcut;
    shortcut.filePath = Join(m_folder, L"Shut down.lnk");
    shortcut.target = m_program;
    shortcut.arguments = L"/S /A 0 /T 5400";
    shortcut.iconPath = m_program;
    shortcut.iconIndex = 9;
    shortcut.workingFolder = m_folder;
    shortcut.description = L"\uC2DC\uC2A4\uD15C \uC885\uB8CC";
    shortcut.hotKey = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
    shortcut.showCommand = SW_SHOWMINNOACTIVE;
    ASSERT_TRUE(CreateShortcutFile(shortcut));

    const auto read = Load(shortcut.filePath);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->target, shortcut.target);
    EXPECT_EQ(read->arguments, shortcut.arguments);
    EXPECT_EQ(read->iconPath, shortcut.iconPath);
    EXPECT_EQ(read->iconIndex, 9);
    EXPECT_EQ(read->workingFolder, shortcut.workingFolder);
    EXPECT_EQ(read->description, shortcut.description);
    EXPECT_EQ(read->hotKey, shortcut.hotKey);
    EXPECT_EQ(read->showCommand, SW_SHOWMINNOACTIVE);
}

TEST_F(ShellLinkTest, OptionalFieldsLeftOutStayAtTheShellsDefaults) {
    ShortcutDescription shortcut;
    shortcut.filePath = Join(m_folder, L"plain.lnk");
    shortcut.target = m_program;
    // An icon index without an icon path is not written.
    shortcut.iconIndex = 4;
    ASSERT_TRUE(CreateShortcutFile(shortcut));

    const auto read = Load(shortcut.filePath);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->target, m_program);
    EXPECT_EQ(read->arguments, L"");
    EXPECT_EQ(read->iconPath, L"");
    EXPECT_EQ(read->iconIndex, 0);
    EXPECT_EQ(read->workingFolder, L"");
    EXPECT_EQ(read->description, L"");
    EXPECT_EQ(read->hotKey, 0);
    EXPECT_EQ(read->showCommand, SW_SHOWNORMAL);
    EXPECT_FALSE(read->appUserModelId.has_value());
}

TEST_F(ShellLinkTest, TheApplicationIdentityGoesIntoThePropertyStore) {
    ShortcutDescription shortcut;
    shortcut.filePath = Join(m_folder, L"Tivolan.lnk");
    shortcut.target = m_program;
    shortcut.appUserModelId = L"merrowin.tivolan";
    ASSERT_TRUE(CreateShortcutFile(shortcut));

    const auto read = Load(shortcut.filePath);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->target, m_program);
    // Wine 8's link property store takes every value and keeps none (reading gives E_NOTIMPL).
    if (!read->storeReadable)
        GTEST_SKIP() << "this shell's links cannot give their properties back";
    ASSERT_TRUE(read->appUserModelId.has_value());
    EXPECT_EQ(*read->appUserModelId, L"merrowin.tivolan");
}

TEST_F(ShellLinkTest, ASecondShortcutToTheSamePathReplacesTheFirst) {
    ShortcutDescription shortcut;
    shortcut.filePath = Join(m_folder, L"Restart.lnk");
    shortcut.target = m_program;
    shortcut.arguments = L"/S /A 1 /T 60 with a much longer tail than the second one has";
    shortcut.iconPath = m_program;
    shortcut.iconIndex = 2;
    ASSERT_TRUE(CreateShortcutFile(shortcut));

    shortcut.arguments = L"/S /A 1";
    shortcut.iconIndex = 3;
    ASSERT_TRUE(CreateShortcutFile(shortcut));

    const auto read = Load(shortcut.filePath);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->arguments, L"/S /A 1");
    EXPECT_EQ(read->iconIndex, 3);
}

TEST_F(ShellLinkTest, NoFileWhereTheFolderIsMissing) {
    const std::wstring paths[] = {
        Join(m_folder, L"missing\\x.lnk"),
        Join(m_folder, L"missing\\deeper\\x.lnk"),
        // A folder in the way of the file.
        m_folder,
    };
    for (const auto& path : paths) {
        ShortcutDescription shortcut;
        shortcut.filePath = path;
        shortcut.target = m_program;
        EXPECT_FALSE(CreateShortcutFile(shortcut)) << path;
    }
    EXPECT_FALSE(DirectoryExists(Join(m_folder, L"missing")));
}

class ShellPinTest : public ShellLinkTest {
  protected:
    void SetUp() override {
        ShellLinkTest::SetUp();
        if (HasFatalFailure())
            return;
        m_shellPins = ShellPinsWithItsVerb();
        std::printf("the shell %s the \"taskbarpin\" verb\n", m_shellPins ? "carries out" : "refuses");
    }

    std::wstring TempShortcut(const std::wstring& name) {
        return GetTempDirectory() + ShortcutFileName(name) + L".lnk";
    }

    // Asks the platform's shell itself, on a shortcut of the test's own, whether it carries out the
    // pin verb; a pin through the program must succeed exactly when it does.
    bool ShellPinsWithItsVerb() {
        ShortcutDescription shortcut;
        shortcut.filePath = Join(m_folder, L"probe.lnk");
        shortcut.target = m_program;
        LPITEMIDLIST item =
            CreateShortcutFile(shortcut) ? ::ILCreateFromPathW(shortcut.filePath.c_str()) : nullptr;
        ComPtr<IShellFolder> parent;
        PCUITEMID_CHILD child = nullptr;
        ComPtr<IContextMenu> handler;
        HMENU menu = nullptr;
        CMINVOKECOMMANDINFO command{};
        command.cbSize = sizeof(command);
        command.lpVerb = "taskbarpin";
        command.nShow = SW_SHOWNORMAL;
        const bool pinned =
            item && SUCCEEDED(::SHBindToParent(item, __uuidof(IShellFolder), parent.PutVoid(), &child)) &&
            parent &&
            SUCCEEDED(parent->GetUIObjectOf(nullptr, 1, &child, __uuidof(IContextMenu), nullptr,
                                            handler.PutVoid())) &&
            handler && (menu = ::CreatePopupMenu()) != nullptr &&
            SUCCEEDED(handler->QueryContextMenu(menu, 0, 1, 0x7FFF, CMF_NORMAL)) &&
            SUCCEEDED(handler->InvokeCommand(&command));
        if (menu)
            ::DestroyMenu(menu);
        ::ILFree(item);
        return pinned;
    }

    bool m_shellPins = false;
};

// Whether the shell pins or refuses (Wine's has no handler for the verb), no pin leaves its shortcut
// in the temporary folder, and the pin succeeds exactly when the shell's verb does.
TEST_F(ShellPinTest, NoShortcutIsLeftInTheTemporaryFolder) {
    const std::wstring names[] = {
        L"Tivolan pin test",
        L"\u039A\u03BB\u03B5\u03AF\u03B4\u03C9\u03BC\u03B1 pin",
        L"On/Off: pin",
        L"CON",
    };
    for (const auto& name : names) {
        const std::wstring temp = TempShortcut(name);
        ASSERT_FALSE(FileExists(temp)) << temp;
        EXPECT_EQ(PinToTaskbar(name, m_program, L"/S /A 0", m_program, 1, L""), m_shellPins) << name;
        EXPECT_FALSE(FileExists(temp)) << temp;
        EXPECT_EQ(PinToTaskbar(name, m_program, L"", L"", 0, L"merrowin.tivolan"), m_shellPins) << name;
        EXPECT_FALSE(FileExists(temp)) << temp;
    }
}

TEST_F(ShellPinTest, ANameCannotReachIntoAnotherFolder) {
    // A file the pin must not touch, where a name with a separator would point.
    const std::wstring leaf = FileNameOfPath(m_folder);
    const std::wstring victim = Join(m_folder, L"victim.lnk");
    ASSERT_TRUE(WriteBytes(victim, "not a shortcut"));
    const std::wstring names[] = {
        leaf + L"\\victim", L"..\\" + FileNameOfPath(ParentPath(m_folder)) + L"\\" + leaf + L"\\victim"};
    for (const auto& name : names) {
        EXPECT_EQ(PinToTaskbar(name, m_program, L"", L"", 0, L""), m_shellPins) << name;
        EXPECT_EQ(ReadBytes(victim), "not a shortcut") << name;
        EXPECT_FALSE(FileExists(TempShortcut(name))) << name;
    }
}

TEST_F(ShellPinTest, AnEmptyNameIsRefused) {
    const std::wstring bare = GetTempDirectory() + L".lnk";
    EXPECT_FALSE(PinToTaskbar(L"", m_program, L"", L"", 0, L""));
    EXPECT_FALSE(FileExists(bare));
}

TEST(ShellDesktopFolder, IsAnExistingFolder) {
    const std::wstring desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty());
    EXPECT_TRUE(DirectoryExists(desktop)) << desktop;
    EXPECT_EQ(FileNameOfPath(desktop), L"Desktop");
}

class UxThemeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_window = ::CreateWindowExW(0, L"STATIC", L"page", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                     nullptr, nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override { ::DestroyWindow(m_window); }

    // Read straight from the library, not through the class under test.
    static bool TextureEnabled(HWND window) {
        using Function = BOOL(WINAPI*)(HWND);
        HMODULE library = ::LoadLibraryW(L"UxTheme.dll");
        auto function = reinterpret_cast<Function>(
            reinterpret_cast<void*>(::GetProcAddress(library, "IsThemeDialogTextureEnabled")));
        return function && function(window);
    }
    static bool LibraryThemeActive() {
        using Function = BOOL(WINAPI*)();
        HMODULE library = ::LoadLibraryW(L"UxTheme.dll");
        auto function =
            reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, "IsThemeActive")));
        return function && function();
    }

    HWND m_window = nullptr;
};

TEST_F(UxThemeTest, WithoutTheLibraryEveryCallAnswersFalse) {
    JUxTheme missing(L"qp-no-such-theme-library.dll");
    EXPECT_FALSE(missing.IsThemeActive());
    EXPECT_FALSE(missing.EnableThemeDialogTexture(m_window, ETDT_ENABLETAB));
    EXPECT_FALSE(missing.SetWindowTheme(m_window, L"explorer", nullptr));
    EXPECT_FALSE(TextureEnabled(m_window));
}

TEST_F(UxThemeTest, WithoutTheEntriesEveryCallAnswersFalse) {
    // A library that is there but has none of the three entries.
    JUxTheme wrong(L"kernel32.dll");
    EXPECT_FALSE(wrong.IsThemeActive());
    EXPECT_FALSE(wrong.EnableThemeDialogTexture(m_window, ETDT_ENABLETAB));
    EXPECT_FALSE(wrong.SetWindowTheme(m_window, L"explorer", nullptr));
}

TEST_F(UxThemeTest, TheProcessObjectReachesTheLibrary) {
    JUxTheme& theme = JUxTheme::Instance();
    EXPECT_EQ(&theme, &JUxTheme::Instance());
    EXPECT_EQ(theme.IsThemeActive(), LibraryThemeActive());
    EXPECT_EQ(theme.IsThemeActive(), theme.IsThemeActive());

    EXPECT_TRUE(theme.EnableThemeDialogTexture(m_window, ETDT_ENABLETAB));
    EXPECT_TRUE(TextureEnabled(m_window));
    EXPECT_TRUE(theme.EnableThemeDialogTexture(m_window, ETDT_DISABLE));
    EXPECT_FALSE(TextureEnabled(m_window));

    EXPECT_TRUE(theme.SetWindowTheme(m_window, L"explorer", nullptr));
}

TEST_F(UxThemeTest, TabPagesGetTheTextureOnlyUnderATheme) {
    ApplyTabPageTheme(m_window);
    EXPECT_EQ(TextureEnabled(m_window), JUxTheme::Instance().IsThemeActive());
}

}  // namespace
