#include "checker/core/download_folder_name.h"

#include "common/text/ascii_case.h"

uint32_t DrawDownloadFolderNumber(const Draw15& draw) {
    const uint32_t a = draw() & 0x7FFF;
    const uint32_t b = draw() & 0x7FFF;
    const uint32_t v = (a << 15) | b;
    return v / 16384;
}

bool IsDownloadFolderName(std::wstring_view name) {
    const std::wstring_view prefix = kDownloadFolderPrefix;
    return name.size() >= prefix.size() && EqualsIgnoringAsciiCase(name.substr(0, prefix.size()), prefix);
}
