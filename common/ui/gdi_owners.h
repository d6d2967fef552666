#pragma once

// Move-only owners of the GDI objects, icons and image lists a window makes for itself. Stock objects and
// shared icons are never put in one: the system owns those.

#include <windows.h>

#include <commctrl.h>

#include "common/platform/unique_resource.h"

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};

struct IconTraits {
    using Type = HICON;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};

struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::ImageList_Destroy(h); }
};

// Fonts, pens and brushes.
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;
// Icons loaded without LR_SHARED.
using UniqueIcon = UniqueResource<IconTraits>;
using UniqueImageList = UniqueResource<ImageListTraits>;
