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
#include "tests/wine/icon_group_check.h"
#include "tests/wine/manifest_fixture.h"

namespace {

constexpr IconImage kIconImages[] = {{256, 32}, {128, 32}, {64, 32}, {48, 32}, {40, 32},
                                     {32, 32},  {24, 32},  {20, 32}, {16, 32}};
constexpr COLORREF kBackground = RGB(200, 40, 160);

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
    ExpectIconGroupLayout(IDI_QPCHKUPD, kIconImages);
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
    for (const GroupIconEntry& entry : GroupEntries(IDI_QPCHKUPD)) {
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
    ASSERT_FALSE(identities.empty());
    EXPECT_EQ(Attribute(identities[0], L"name"), L"Merrowin.QPChkUpd2");
    EXPECT_EQ(Attribute(identities[0], L"version"), FormatVersionQuad(ProjectVersion()));
    EXPECT_EQ(Attribute(identities[0], L"processorArchitecture"), L"amd64");
    ExpectCommonControls6AsInvoker();
}

TEST_F(CheckerManifest, NamesWindows7To11AndPerMonitorV2Awareness) {
    ExpectWindows7To11AndPerMonitorAwareness();
}

TEST_F(CheckerManifest, TheProcessGetsTheVersion6CommonControls) {
    ExpectVersion6CommonControlsLoaded();
}

}  // namespace
