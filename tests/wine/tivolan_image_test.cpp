// Tivolan's icons and bitmaps (scheduler/res/images.rc, drawn by tools/make-images) compiled into this
// executable and read back the ways the program reads them: icon groups by id and by index, bitmaps
// through an image list keyed on magenta, the menu's toolbar resource.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "scheduler/res/resource.h"
#include "tests/wine/icon_group_check.h"

namespace {

constexpr int kIconGroups[] = {IDI_APP,
                               IDI_ACTION_SHUT_DOWN,
                               IDI_ACTION_RESTART,
                               IDI_ACTION_SLEEP,
                               IDI_ACTION_HIBERNATE,
                               IDI_ACTION_DISPLAY_OFF,
                               IDI_ACTION_SCREEN_SAVER,
                               IDI_ACTION_LOCK_WINDOWS,
                               IDI_ACTION_ALARM,
                               IDI_ACTION_RUN};

constexpr IconImage kIconImages[] = {{48, 8},  {32, 8},  {24, 8},  {16, 8}, {256, 32},
                                     {48, 32}, {32, 32}, {24, 32}, {16, 32}};

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr uint16_t kFirstActionCommand = 32778;  // the tray menu's Shut down; Lock Windows is + 6

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> rgb;  // row by row from the top
    COLORREF At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

Pixels ReadPixels(HBITMAP bitmap) {
    Pixels out;
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof info, &info))
        return out;
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> quads(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, quads.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight)
        return out;
    out.width = info.bmWidth;
    out.height = info.bmHeight;
    for (const RGBQUAD& q : quads)
        out.rgb.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    return out;
}

// A bitmap owner for the tests; the program's own owners live with its windows.
struct Bitmap {
    HBITMAP handle;
    explicit Bitmap(HBITMAP h) : handle(h) {}
    ~Bitmap() {
        if (handle)
            DeleteObject(handle);
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
};

HBITMAP LoadBitmapResource(int id) {
    return static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// What an icon shows at size x size, drawn over a fixed background so that transparency counts too.
Pixels Render(HICON icon, int size) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    Bitmap target(CreateCompatibleBitmap(screen, size, size));
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target.handle);
    RECT all{0, 0, size, size};
    HBRUSH background = CreateSolidBrush(RGB(40, 200, 90));
    FillRect(dc, &all, background);
    DeleteObject(background);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    return ReadPixels(target.handle);
}

// What image `index` of an image list shows when drawn transparently over a fixed background.
Pixels RenderListImage(HIMAGELIST list, int index, int width, int height, COLORREF background) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    Bitmap target(CreateCompatibleBitmap(screen, width, height));
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target.handle);
    RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ImageList_Draw(list, index, dc, 0, 0, ILD_TRANSPARENT);
    SelectObject(dc, old);
    DeleteDC(dc);
    return ReadPixels(target.handle);
}

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path;
}

TEST(TivolanIconsTest, EveryGroupHoldsTheNineImagesInOrder) {
    for (int group : kIconGroups) {
        SCOPED_TRACE(group);
        ExpectIconGroupLayout(group, kIconImages);
    }
}

TEST(TivolanIconsTest, EveryGroupLoadsAtTheSizesTheProgramAsksFor) {
    for (int group : kIconGroups) {
        for (int size : {16, 32, 48, 256}) {
            SCOPED_TRACE(testing::Message() << group << " at " << size);
            HICON icon = static_cast<HICON>(
                LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(group), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr);
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP colour{};
            ASSERT_TRUE(GetObjectW(info.hbmColor, sizeof colour, &colour));
            EXPECT_EQ(colour.bmWidth, size);
            EXPECT_EQ(colour.bmHeight, size);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);

            // Drawn, the icon has both a transparent corner and something of its own.
            const Pixels shown = Render(icon, size);
            DestroyIcon(icon);
            ASSERT_EQ(shown.width, size);
            EXPECT_EQ(shown.At(0, 0), RGB(40, 200, 90));
            int own = 0;
            for (COLORREF c : shown.rgb)
                own += c != RGB(40, 200, 90);
            EXPECT_GT(own, size * size / 5);
        }
    }
}

// Shortcuts and the jump list name an action's icon by index in the executable: action n is n + 1.
TEST(TivolanIconsTest, IconIndexOfActionIsActionPlusOne) {
    std::vector<int> names;
    EnumResourceNamesW(
        nullptr, RT_GROUP_ICON,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) -> BOOL {
            if (IS_INTRESOURCE(name))
                reinterpret_cast<std::vector<int>*>(list)->push_back(static_cast<int>(LOWORD(name)));
            else
                reinterpret_cast<std::vector<int>*>(list)->push_back(-1);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&names));
    EXPECT_EQ(names, std::vector<int>(std::begin(kIconGroups), std::end(kIconGroups)));

    const std::wstring path = OwnPath();
    ASSERT_EQ(ExtractIconExW(path.c_str(), -1, nullptr, nullptr, 0), std::size(kIconGroups));
    std::vector<Pixels> byIndex;
    for (int index = 0; index < static_cast<int>(std::size(kIconGroups)); ++index) {
        HICON large = nullptr;
        ASSERT_EQ(ExtractIconExW(path.c_str(), index, &large, nullptr, 1), 1u);
        byIndex.push_back(Render(large, 32));
        DestroyIcon(large);
    }
    for (size_t index = 0; index < byIndex.size(); ++index) {
        SCOPED_TRACE(index);
        HICON loaded = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconGroups[index]), IMAGE_ICON, 32, 32, 0));
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(Render(loaded, 32).rgb, byIndex[index].rgb);
        DestroyIcon(loaded);
        // Every icon differs from the others, so the comparison above tells them apart.
        for (size_t other = index + 1; other < byIndex.size(); ++other)
            EXPECT_NE(byIndex[index].rgb, byIndex[other].rgb) << "same as " << other;
    }
}

TEST(TivolanMenuImagesTest, ToolbarNamesTheSevenActionCommandsInOrder) {
    const std::vector<uint8_t> bytes =
        ResourceBytes(MAKEINTRESOURCEW(IDR_MENU_IMAGES), MAKEINTRESOURCEW(RT_TOOLBAR_DATA));
    ASSERT_EQ(bytes.size(), 11 * sizeof(uint16_t));
    uint16_t words[11];
    std::memcpy(words, bytes.data(), sizeof words);
    EXPECT_EQ(words[0], 1);
    EXPECT_EQ(words[1], 16);
    EXPECT_EQ(words[2], 16);
    ASSERT_EQ(words[3], 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(words[4 + i], kFirstActionCommand + i) << i;
}

TEST(TivolanMenuImagesTest, StripHoldsOneKeyedImagePerCommand) {
    Bitmap strip(LoadBitmapResource(IDB_MENU_IMAGES));
    ASSERT_NE(strip.handle, nullptr);
    const Pixels pixels = ReadPixels(strip.handle);
    ASSERT_EQ(pixels.width, 7 * 16);
    ASSERT_EQ(pixels.height, 16);
    for (int image = 0; image < 7; ++image) {
        SCOPED_TRACE(image);
        const int left = image * 16;
        EXPECT_EQ(pixels.At(left, 0), kMagenta);
        EXPECT_EQ(pixels.At(left + 15, 15), kMagenta);
        int drawn = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                drawn += pixels.At(left + x, y) != kMagenta;
        EXPECT_GT(drawn, 40);
    }

    // As the tray's image list holds them: the key turns into whatever lies below.
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 7, 0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_AddMasked(list, strip.handle, kMagenta), 0);
    ASSERT_EQ(ImageList_GetImageCount(list), 7);
    for (int image = 0; image < 7; ++image) {
        SCOPED_TRACE(image);
        const Pixels shown = RenderListImage(list, image, 16, 16, RGB(10, 20, 160));
        ASSERT_EQ(shown.width, 16);
        EXPECT_EQ(shown.At(0, 0), RGB(10, 20, 160));
        int magenta = 0;
        int own = 0;
        for (COLORREF c : shown.rgb) {
            magenta += c == kMagenta;
            own += c != RGB(10, 20, 160);
        }
        EXPECT_EQ(magenta, 0);
        EXPECT_GT(own, 40);
    }
    ImageList_Destroy(list);
}

// The cross's shape and colours are checked on the script's output; here, that it loads and keys.
TEST(TivolanCloseGlyphTest, TenPixelImagesKeyedOnMagenta) {
    Bitmap strip(LoadBitmapResource(IDB_CLOSE_GLYPH));
    ASSERT_NE(strip.handle, nullptr);
    const Pixels pixels = ReadPixels(strip.handle);
    ASSERT_EQ(pixels.height, CLOSE_GLYPH_WIDTH);
    ASSERT_GE(pixels.width, CLOSE_GLYPH_WIDTH);
    ASSERT_EQ(pixels.width % CLOSE_GLYPH_WIDTH, 0);

    HIMAGELIST list = ImageList_Create(CLOSE_GLYPH_WIDTH, CLOSE_GLYPH_WIDTH, ILC_COLOR24 | ILC_MASK, 2, 0);
    ASSERT_NE(list, nullptr);
    ImageList_AddMasked(list, strip.handle, kMagenta);
    ASSERT_EQ(ImageList_GetImageCount(list), pixels.width / CLOSE_GLYPH_WIDTH);
    for (int image = 0; image < ImageList_GetImageCount(list); ++image) {
        SCOPED_TRACE(image);
        const int left = image * CLOSE_GLYPH_WIDTH;
        const int last = CLOSE_GLYPH_WIDTH - 1;
        EXPECT_EQ(pixels.At(left, 0), kMagenta);
        EXPECT_EQ(pixels.At(left + last, last), kMagenta);
        const Pixels shown =
            RenderListImage(list, image, CLOSE_GLYPH_WIDTH, CLOSE_GLYPH_WIDTH, RGB(10, 20, 160));
        ASSERT_EQ(shown.width, CLOSE_GLYPH_WIDTH);
        EXPECT_EQ(shown.At(0, 0), RGB(10, 20, 160));
        EXPECT_EQ(shown.At(last, 0), RGB(10, 20, 160));
        const COLORREF middle = shown.At(CLOSE_GLYPH_WIDTH / 2, CLOSE_GLYPH_WIDTH / 2);
        EXPECT_TRUE(GetRValue(middle) == GetGValue(middle) && GetGValue(middle) == GetBValue(middle));
    }
    ImageList_Destroy(list);
}

}  // namespace
