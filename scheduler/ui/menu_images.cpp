#include "scheduler/ui/menu_images.h"

#include <cstring>

namespace {

constexpr COLORREF kTransparentKey = RGB(255, 0, 255);

// A top-down 32-bit section of width x height, premultiplied alpha.
HBITMAP CreateArgbBitmap(int width, int height, uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<uint32_t*>(pixels);
    return bitmap;
}

}  // namespace

CMenuImages::~CMenuImages() {
    Free();
}

void CMenuImages::Free() {
    for (const Image& image : m_images)
        ::DeleteObject(image.bitmap);
    m_images.clear();
}

bool CMenuImages::Load(HMODULE module, UINT toolbarId, UINT bitmapId) {
    Free();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(toolbarId), MAKEINTRESOURCEW(241));
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const auto* data = loaded ? static_cast<const uint8_t*>(::LockResource(loaded)) : nullptr;
    const DWORD size = resource ? ::SizeofResource(module, resource) : 0;
    if (!data || size < sizeof(ToolbarHeader))
        return false;
    ToolbarHeader header{};
    std::memcpy(&header, data, sizeof(header));
    if (header.version != 1 || header.width == 0 || header.height == 0 ||
        size < sizeof(header) + header.count * sizeof(uint16_t))
        return false;

    HBITMAP strip = static_cast<HBITMAP>(
        ::LoadImageW(module, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip)
        return false;
    BITMAP info{};
    ::GetObjectW(strip, sizeof(info), &info);
    HDC screen = ::GetDC(nullptr);
    HDC source = ::CreateCompatibleDC(screen);
    HGDIOBJ oldSource = ::SelectObject(source, strip);

    int imageIndex = 0;
    for (uint16_t i = 0; i < header.count; ++i) {
        uint16_t command = 0;
        std::memcpy(&command, data + sizeof(header) + i * sizeof(uint16_t), sizeof(command));
        if (command == 0)
            continue;  // a separator takes no image
        const int left = imageIndex++ * header.width;
        if (left + header.width > info.bmWidth || header.height > info.bmHeight)
            break;
        uint32_t* bits = nullptr;
        HBITMAP image = CreateArgbBitmap(header.width, header.height, &bits);
        if (!image)
            continue;
        for (int y = 0; y < header.height; ++y) {
            for (int x = 0; x < header.width; ++x) {
                const COLORREF color = ::GetPixel(source, left + x, y);
                uint32_t argb = 0;
                if (color != kTransparentKey && color != CLR_INVALID)
                    argb =
                        0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
                bits[y * header.width + x] = argb;
            }
        }
        m_images.push_back({command, image});
    }

    ::SelectObject(source, oldSource);
    ::DeleteDC(source);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(strip);
    return !m_images.empty();
}

HBITMAP CMenuImages::ImageFor(UINT command) const {
    for (const Image& image : m_images)
        if (image.command == command)
            return image.bitmap;
    return nullptr;
}

void CMenuImages::Apply(HMENU menu) const {
    for (const Image& image : m_images) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_BITMAP;
        item.hbmpItem = image.bitmap;
        ::SetMenuItemInfoW(menu, image.command, FALSE, &item);
    }
}
