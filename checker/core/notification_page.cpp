#include "checker/core/notification_page.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "checker/core/attribute_numbers.h"

namespace {

int32_t IntegerAttribute(const CXmlNode& node, std::wstring_view name) {
    const std::wstring* text = node.AttributeValue(name);
    return text ? ReadAttributeInteger(*text) : 0;
}

bool AttributeIs(const CXmlNode& node, std::wstring_view name, std::wstring_view expected) {
    const std::wstring* text = node.AttributeValue(name);
    return text && XmlNamesEqualIgnoringCase(*text, expected);
}

int32_t Clamped(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

std::optional<AnchorPoint> AnchorOf(const WorkArea& area, int32_t pos) {
    if (pos < 1 || pos > 9)
        return std::nullopt;
    const int64_t left = area.left;
    const int64_t top = area.top;
    const int64_t right = area.right;
    const int64_t bottom = area.bottom;
    const int64_t column[3] = {left, left + (right - left) / 2, right};
    const int64_t row[3] = {bottom, top + (bottom - top) / 2, top};  // keypad rows count from the bottom
    const int index = pos - 1;
    return AnchorPoint{column[index % 3], row[index / 3]};
}

void PlaceNotificationPage(const CXmlNode& pop, const WorkAreaSource& workArea, NotificationPage& page) {
    int64_t x = 0;
    int64_t y = 0;
    const int32_t pos = IntegerAttribute(pop, L"pos");
    if (pos >= 1 && pos <= 9) {
        x = IntegerAttribute(pop, L"x");
        y = IntegerAttribute(pop, L"y");
        const std::optional<WorkArea> area = workArea ? workArea() : std::nullopt;
        if (area) {
            const AnchorPoint anchor = *AnchorOf(*area, pos);
            x += anchor.x;
            y += anchor.y;
            page.flags |= BrowserWindowFlags::Position;
        }
    }

    const int32_t width = IntegerAttribute(pop, L"width");
    const int32_t height = IntegerAttribute(pop, L"height");
    page.width = width;
    page.height = height;
    if (width > 0 && height > 0) {
        page.flags |= BrowserWindowFlags::Size;
        if (page.flags & BrowserWindowFlags::Position) {
            if (AttributeIs(pop, L"align", L"right"))
                x -= width;
            else if (AttributeIs(pop, L"align", L"center"))
                x -= width / 2;
            if (AttributeIs(pop, L"valign", L"bottom"))
                y -= height;
            else if (AttributeIs(pop, L"valign", L"center"))
                y -= height / 2;
        }
    }
    page.x = Clamped(x);
    page.y = Clamped(y);

    if (AttributeIs(pop, L"ui", L"show"))
        page.flags |= BrowserWindowFlags::KeepInterface;
}
