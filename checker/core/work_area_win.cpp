#include "checker/core/work_area_win.h"

#include <windows.h>

std::optional<WorkArea> SystemWorkArea() {
    RECT area{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        return std::nullopt;
    return WorkArea{area.left, area.top, area.right, area.bottom};
}
