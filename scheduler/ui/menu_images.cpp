#include "scheduler/ui/menu_images.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr COLORREF kTransparentKey = RGB(255, 0, 255);
constexpr WORD kToolbarResourceType = 241;

}  // namespace

CMenuImages::~CMenuImages() {
    Free();
}

void CMenuImages::Free() {
    if (m_images)
        ::ImageList_Destroy(m_images);
    m_images = nullptr;
    m_commands.clear();
}

bool CMenuImages::Load(HMODULE module, UINT toolbarId, UINT bitmapId) {
    Free();
    HRSRC resource =
        ::FindResourceW(module, MAKEINTRESOURCEW(toolbarId), MAKEINTRESOURCEW(kToolbarResourceType));
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
    m_images = ::ImageList_Create(header.width, header.height, ILC_COLOR24 | ILC_MASK, header.count, 0);
    const int added = m_images ? ::ImageList_AddMasked(m_images, strip, kTransparentKey) : -1;
    ::DeleteObject(strip);
    if (added < 0) {
        Free();
        return false;
    }
    const int imageCount = ::ImageList_GetImageCount(m_images);
    for (uint16_t i = 0; i < header.count && static_cast<int>(m_commands.size()) < imageCount; ++i) {
        uint16_t command = 0;
        std::memcpy(&command, data + sizeof(header) + i * sizeof(uint16_t), sizeof(command));
        if (command != 0)  // a separator takes no image
            m_commands.push_back(command);
    }
    m_width = header.width;
    m_height = header.height;
    return !m_commands.empty();
}

int CMenuImages::ImageIndexOf(UINT command) const {
    const auto found = std::find(m_commands.begin(), m_commands.end(), command);
    return found == m_commands.end() ? -1 : static_cast<int>(found - m_commands.begin());
}

void CMenuImages::Apply(HMENU menu) const {
    for (UINT command : m_commands) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_BITMAP;
        item.hbmpItem = HBMMENU_CALLBACK;
        ::SetMenuItemInfoW(menu, command, FALSE, &item);
    }
}

bool CMenuImages::OnMeasureItem(MEASUREITEMSTRUCT& measure) const {
    if (measure.CtlType != ODT_MENU || ImageIndexOf(measure.itemID) < 0)
        return false;
    measure.itemWidth = static_cast<UINT>(m_width);
    measure.itemHeight = static_cast<UINT>(m_height);
    return true;
}

bool CMenuImages::OnDrawItem(const DRAWITEMSTRUCT& draw) const {
    const int index = draw.CtlType == ODT_MENU ? ImageIndexOf(draw.itemID) : -1;
    if (index < 0)
        return false;
    const int left = draw.rcItem.left + (draw.rcItem.right - draw.rcItem.left - m_width) / 2;
    const int top = draw.rcItem.top + (draw.rcItem.bottom - draw.rcItem.top - m_height) / 2;
    const UINT style = (draw.itemState & ODS_GRAYED) ? ILD_TRANSPARENT | ILD_BLEND50 : ILD_TRANSPARENT;
    ::ImageList_Draw(m_images, index, draw.hDC, left, top, style);
    return true;
}
