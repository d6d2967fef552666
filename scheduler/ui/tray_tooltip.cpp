#include "scheduler/ui/tray_tooltip.h"

#include "scheduler/core/utf16_units.h"

std::wstring TrayTooltipText(std::wstring_view text) {
    return CutToUtf16Units(text.substr(0, text.find(L'\0')), kTrayTooltipUnits - 1);
}
