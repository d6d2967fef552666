#include "checker/version_rules.h"

#include <cmath>

namespace {

wchar_t FoldAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

bool CheckerWordsEqual(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

bool ModeAllowsBackground(std::wstring_view mode) {
    return CheckerWordsEqual(mode, L"auto") || CheckerWordsEqual(mode, L"strict") ||
           CheckerWordsEqual(mode, L"force");
}

bool IsStrictMode(std::wstring_view mode) {
    return CheckerWordsEqual(mode, L"strict");
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
    return item.spec == L"*" || CheckerWordsEqual(item.spec, installedSpec);
}

bool IsLinkItem(const CVersionItem& item) {
    return CheckerWordsEqual(item.type, L"link");
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
