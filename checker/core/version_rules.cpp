#include "checker/core/version_rules.h"

#include <cmath>

#include "common/text/ascii_case.h"

bool ModeAllowsBackground(std::wstring_view mode) {
    return EqualsIgnoringAsciiCase(mode, L"auto") || EqualsIgnoringAsciiCase(mode, L"strict") ||
           EqualsIgnoringAsciiCase(mode, L"force");
}

bool IsStrictMode(std::wstring_view mode) {
    return EqualsIgnoringAsciiCase(mode, L"strict");
}

bool OfferWarrantsAnnouncement(std::wstring_view mode,
                               int32_t offeredMajor,
                               int32_t offeredMinor,
                               int32_t installedMajor,
                               int32_t installedMinor) {
    if (IsStrictMode(mode))
        return installedMajor != offeredMajor || installedMinor != offeredMinor;
    return installedMajor < offeredMajor || (installedMajor == offeredMajor && installedMinor < offeredMinor);
}

bool IsListedForEdition(const CVersionItem& item, std::wstring_view installedSpec) {
    return item.spec == L"*" || EqualsIgnoringAsciiCase(item.spec, installedSpec);
}

bool IsLinkItem(const CVersionItem& item) {
    return EqualsIgnoringAsciiCase(item.type, L"link");
}

double Random01(const Draw15& draw) {
    // Each draw is cut to its 15 bits, as every other user of the generator does, so the sum stays
    // below 2^45 and the value below 1: no value ever has to be drawn again.
    const uint64_t a = draw() & 0x7FFF;
    const uint64_t b = draw() & 0x7FFF;
    const uint64_t c = draw() & 0x7FFF;
    return std::ldexp(static_cast<double>((a << 30) | (b << 15) | c), -45);
}

bool RolloutDraw(double ratio, const std::function<double()>& random01) {
    if (std::isnan(ratio))
        return false;
    if (ratio >= 1.0)
        return true;
    return random01() < ratio;
}
