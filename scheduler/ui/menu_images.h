#pragma once

// The images beside the tray menu's seven action items: a strip of 16 x 16 images (bitmap 206,
// magenta where it is transparent) and the toolbar resource of the same number that names the
// command of each image. Each image becomes a 32-bit bitmap with alpha, which menus draw as is.

#include <windows.h>

#include <cstdint>
#include <vector>

class CMenuImages {
  public:
    CMenuImages() = default;
    CMenuImages(const CMenuImages&) = delete;
    CMenuImages& operator=(const CMenuImages&) = delete;
    ~CMenuImages();

    // False when the module lacks the toolbar or the bitmap, or they disagree.
    bool Load(HMODULE module, UINT toolbarId, UINT bitmapId);
    // Puts each image beside the item of its command, where the menu (or a submenu) has one.
    void Apply(HMENU menu) const;
    size_t Count() const { return m_images.size(); }
    HBITMAP ImageFor(UINT command) const;

  private:
    struct Image {
        UINT command;
        HBITMAP bitmap;
    };
    void Free();

    std::vector<Image> m_images;
};

// The toolbar resource's layout: 16-bit words, version 1, image width, image height, count, then
// one command per image (0 for a separator, which has no image).
struct ToolbarHeader {
    uint16_t version;
    uint16_t width;
    uint16_t height;
    uint16_t count;
};
