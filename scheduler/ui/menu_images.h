#pragma once

// The images beside the tray menu's seven action items: a strip of 16 x 16 images (bitmap 206,
// magenta where it is transparent) and the toolbar resource of the same number that names the
// command of each image. The items draw their images through the owner window (HBMMENU_CALLBACK),
// from a masked image list, which every menu implementation draws transparently; a 32-bit bitmap
// with alpha is blended by some and shown on black by others.

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <vector>

class CMenuImages {
  public:
    CMenuImages() = default;
    CMenuImages(const CMenuImages&) = delete;
    CMenuImages& operator=(const CMenuImages&) = delete;
    ~CMenuImages();

    // False when the module lacks the toolbar or the bitmap.
    bool Load(HMODULE module, UINT toolbarId, UINT bitmapId);
    // Marks the item of each command that has an image for drawing by the owner.
    void Apply(HMENU menu) const;
    size_t Count() const { return m_commands.size(); }
    // The image index of a command, or -1.
    int ImageIndexOf(UINT command) const;

    // WM_MEASUREITEM and WM_DRAWITEM of the menu's owner: true when the item was one of ours.
    bool OnMeasureItem(MEASUREITEMSTRUCT& measure) const;
    bool OnDrawItem(const DRAWITEMSTRUCT& draw) const;

  private:
    void Free();

    HIMAGELIST m_images = nullptr;
    std::vector<UINT> m_commands;  // by image index
    int m_width = 0;
    int m_height = 0;
};

// The toolbar resource's layout: 16-bit words, version 1, image width, image height, count, then
// one command per image (0 for a separator, which has no image).
struct ToolbarHeader {
    uint16_t version;
    uint16_t width;
    uint16_t height;
    uint16_t count;
};
