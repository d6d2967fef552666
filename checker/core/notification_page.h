#pragma once

// One notification page named by the install report's answer ("pop"), with where and how its
// browser window is to appear.

#include <cstdint>
#include <optional>
#include <string>

#include "checker/core/work_area.h"
#include "common/browser/show_browser_window.h"
#include "common/xml/xml_node.h"

struct NotificationPage {
    std::wstring id;   // the value under HKCU\Software\Quillpack that counts how often it was shown
    std::wstring url;  // always a web address
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t flags = BrowserWindowFlags::Foreground;  // ShowBrowserWindow's flags
    uint32_t shownCount = 0;

    bool operator==(const NotificationPage&) const = default;
};

struct AnchorPoint {
    int64_t x = 0;
    int64_t y = 0;
};

// The point of the work area that "pos" 1 to 9 names, laid out like a numeric keypad (7 top left,
// 5 the middle, 3 bottom right; halves truncate toward zero); nothing for any other value.
std::optional<AnchorPoint> AnchorOf(const WorkArea& area, int32_t pos);

// Fills the position, size and flags of `page` from the attributes of its "pop" element. The work
// area is asked only when "pos" is 1 to 9. Coordinates are worked out in 64 bits and the results
// held to the 32-bit range, so no offset or size in the answer can overflow.
void PlaceNotificationPage(const CXmlNode& pop, const WorkAreaSource& workArea, NotificationPage& page);
