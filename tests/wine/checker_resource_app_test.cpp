// What QPChkUpd2.exe carries besides strings and dialogs (checker/res/app.rc), linked into this
// executable: the program icon with its nine images, read back and drawn the ways the shell and the
// dialogs load it; the version resource; the application manifest, in its text and in its effect on
// the process.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "checker/res/resource.h"
#include "common/version/module_version.h"
#include "common/xml/xml_node.h"
#include "tests/wine/manifest_fixture.h"

namespace {

constexpr int kIconSizes[] = {256, 128, 64, 48, 40, 32, 24, 20, 16};
constexpr COLORREF kBackground = RGB(200, 40, 160);

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

std::vector<uint8_t> ResourceBytes(LPCWSTR name, LPCWSTR type) {
    const HRSRC found = FindResourceW(nullptr, name, type);
    const auto* data =
        found ? static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found))) : nullptr;
    if (!data)
        return {};
    return std::vector<uint8_t>(data, data + SizeofResource(nullptr, found));
}

// What an icon shows at size x size over a background no drawing uses, as colours top row first.
std::vector<COLORREF> Render(HICON icon, int size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<COLORREF> out;
    if (section && bits) {
        const HGDIOBJ old = SelectObject(dc, section);
        const RECT all{0, 0, size, size};
        const HBRUSH brush = CreateSolidBrush(kBackground);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        GdiFlush();
        const auto* quads = static_cast<const RGBQUAD*>(bits);
        for (int i = 0; i < size * size; ++i)
            out.push_back(RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue));
        SelectObject(dc, old);
        DeleteObject(section);
    }
    DeleteDC(dc);
    return out;
}

TEST(CheckerIcon, OneGroupOfNineAlphaImagesLargestFirst) {
    const std::vector<uint8_t> group = ResourceBytes(MAKEINTRESOURCEW(IDI_QPCHKUPD), RT_GROUP_ICON);
    ASSERT_EQ(group.size(), sizeof(GroupIconHeader) + 9 * sizeof(GroupIconEntry));
    GroupIconHeader header;
    std::memcpy(&header, group.data(), sizeof header);
    EXPECT_EQ(header.type, 1);
    ASSERT_EQ(header.count, 9);
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        GroupIconEntry entry;
        std::memcpy(&entry, group.data() + sizeof header + i * sizeof entry, sizeof entry);
        const int size = entry.width == 0 ? 256 : entry.width;
        EXPECT_EQ(size, kIconSizes[i]);
        EXPECT_EQ(entry.height, entry.width);
        EXPECT_EQ(entry.bits, 32);
        const std::vector<uint8_t> image = ResourceBytes(MAKEINTRESOURCEW(entry.id), RT_ICON);
        ASSERT_EQ(image.size(), entry.bytes);
        if (size == 256) {
            ASSERT_GE(image.size(), 8u);
            EXPECT_EQ(std::memcmp(image.data(), "\x89PNG\r\n\x1a\n", 8), 0);
            continue;
        }
        BITMAPINFOHEADER dib;
        ASSERT_GE(image.size(), sizeof dib);
        std::memcpy(&dib, image.data(), sizeof dib);
        EXPECT_EQ(dib.biWidth, size);
        EXPECT_EQ(dib.biHeight, 2 * size);
        EXPECT_EQ(dib.biBitCount, 32);
    }
}

// The shell shows a program's first icon group: the program has only this one.
TEST(CheckerIcon, IsTheExecutablesOnlyIcon) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_TRUE(GetModuleFileNameW(nullptr, path, MAX_PATH));
    EXPECT_EQ(ExtractIconExW(path, -1, nullptr, nullptr, 0), 1u);
    HICON large = nullptr;
    ASSERT_EQ(ExtractIconExW(path, 0, &large, nullptr, 1), 1u);
    const HICON loaded = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QPCHKUPD), IMAGE_ICON, 32, 32, 0));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Render(large, 32), Render(loaded, 32));
    DestroyIcon(large);
    DestroyIcon(loaded);
}

// The group's own image of `size` pixels made into an icon, or nullptr.
HICON GroupImage(int size) {
    const std::vector<uint8_t> group = ResourceBytes(MAKEINTRESOURCEW(IDI_QPCHKUPD), RT_GROUP_ICON);
    GroupIconHeader header{};
    if (group.size() < sizeof header)
        return nullptr;
    std::memcpy(&header, group.data(), sizeof header);
    for (WORD i = 0; i < header.count && sizeof header + (i + 1) * sizeof(GroupIconEntry) <= group.size();
         ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, group.data() + sizeof header + i * sizeof entry, sizeof entry);
        if ((entry.width == 0 ? 256 : entry.width) != size)
            continue;
        std::vector<uint8_t> image = ResourceBytes(MAKEINTRESOURCEW(entry.id), RT_ICON);
        return CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                        size, size, 0);
    }
    return nullptr;
}

// At the sizes the dialogs and the taskbar ask for, the loader takes the image drawn for that size
// (not another one scaled): transparent in the corner and drawn over most of the square.
TEST(CheckerIcon, LoadsEachSizeFromItsOwnImage) {
    for (const int size : {16, 20, 24, 32, 40, 48, 64}) {
        SCOPED_TRACE(size);
        const HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QPCHKUPD), IMAGE_ICON, size, size, 0));
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        ASSERT_TRUE(GetObjectW(info.hbmColor, sizeof colour, &colour));
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);

        const std::vector<COLORREF> pixels = Render(icon, size);
        DestroyIcon(icon);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size));
        EXPECT_EQ(pixels.front(), kBackground);
        int own = 0;
        for (const COLORREF c : pixels)
            own += c != kBackground;
        EXPECT_GT(own, size * size / 2);

        const HICON drawn = GroupImage(size);
        ASSERT_TRUE(drawn);
        EXPECT_EQ(pixels, Render(drawn, size));
        DestroyIcon(drawn);
    }
    // The system's small icon (what the dialogs' captions and the taskbar use) loads from the group.
    const HICON small =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QPCHKUPD), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    EXPECT_TRUE(small);
    if (small)
        DestroyIcon(small);
}

// The CMake project's version ("1.2.3", parts it leaves out are 0), handed over by the build.
VersionQuad ProjectVersion() {
    uint16_t parts[4] = {};
    const char* text = QP_PROJECT_VERSION;
    for (uint16_t& part : parts) {
        char* end = nullptr;
        part = static_cast<uint16_t>(std::strtoul(text, &end, 10));
        if (*end != '.')
            break;
        text = end + 1;
    }
    return VersionQuad{parts[0], parts[1], parts[2], parts[3]};
}

TEST(CheckerVersionResource, NumbersAndNamesReadBack) {
    CModuleVersion version;
    ASSERT_TRUE(version.LoadModule());
    EXPECT_EQ(version.FileVersion(), ProjectVersion());
    EXPECT_EQ(version.ProductVersion(), ProjectVersion());
    EXPECT_EQ(version.Fixed().dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(version.Fixed().dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(version.Language(), 0);
    EXPECT_EQ(version.CodePage(), 1200);
    const std::wstring text = FormatVersionQuad(ProjectVersion());
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"ProductVersion", text},
        {L"FileVersion", text},
        {L"CompanyName", L"Merrowin"},
        {L"FileDescription", L"Quillpack Update Checker"},
        {L"ProductName", L"Quillpack"},
        {L"InternalName", L"QPChkUpd2.exe"},
        {L"OriginalFilename", L"QPChkUpd2.exe"},
        {L"LegalCopyright", L"Copyright \u00A9 2026 Merrowin"},
    };
    for (const auto& [name, expected] : values)
        EXPECT_EQ(version.GetValue(name), expected) << name;
}

class CheckerManifest : public ManifestFixture {};

TEST_F(CheckerManifest, NamesTheProgramAndAsksForCommonControls6AsInvoker) {
    const auto identities = All(L"assemblyIdentity");
    ASSERT_EQ(identities.size(), 2u);
    EXPECT_EQ(Attribute(identities[0], L"name"), L"Merrowin.QPChkUpd2");
    EXPECT_EQ(Attribute(identities[0], L"version"), FormatVersionQuad(ProjectVersion()));
    EXPECT_EQ(Attribute(identities[0], L"processorArchitecture"), L"amd64");
    EXPECT_EQ(Attribute(identities[1], L"name"), L"Microsoft.Windows.Common-Controls");
    EXPECT_EQ(Attribute(identities[1], L"version"), L"6.0.0.0");
    EXPECT_EQ(Attribute(identities[1], L"publicKeyToken"), L"6595b64144ccf1df");
    EXPECT_EQ(identities[1]->parent->name, L"dependentAssembly");

    const auto levels = All(L"requestedExecutionLevel");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(Attribute(levels[0], L"level"), L"asInvoker");
    EXPECT_EQ(Attribute(levels[0], L"uiAccess"), L"false");
}

TEST_F(CheckerManifest, NamesWindows7To11AndPerMonitorV2Awareness) {
    std::vector<std::wstring> systems;
    for (const CXmlNode* os : All(L"supportedOS"))
        systems.push_back(Attribute(os, L"Id"));
    EXPECT_EQ(systems, (std::vector<std::wstring>{
                           L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
                           L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
                           L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
                           L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
                       }));
    const auto awareness = All(L"dpiAwareness");
    ASSERT_EQ(awareness.size(), 1u);
    EXPECT_EQ(awareness[0]->value, L"PerMonitorV2, PerMonitor");
    const auto aware = All(L"dpiAware");
    ASSERT_EQ(aware.size(), 1u);
    EXPECT_EQ(aware[0]->value, L"true/pm");
}

// The loader read the manifest: this process got the version 6 common controls from their
// side-by-side folder.
TEST_F(CheckerManifest, TheProcessGetsTheVersion6CommonControls) {
    const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    ASSERT_TRUE(controls);
    wchar_t path[MAX_PATH] = {};
    ASSERT_TRUE(GetModuleFileNameW(controls, path, MAX_PATH));
    std::wstring folder = path;
    CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    EXPECT_NE(folder.find(L"\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::wstring::npos)
        << path;
}

}  // namespace
