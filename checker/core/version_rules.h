#pragma once

// The decision rules the check cycle and the dialogs apply to a version document.

#include <cstdint>
#include <functional>
#include <string_view>

#include "checker/core/version_item.h"
#include "common/random/random.h"

// Modes, editions, item types and the "hidden" mark are compared with ASCII letters folded
// (EqualsIgnoringAsciiCase); every other character must match exactly.

// "auto", "strict" or "force" in any case; every other mode keeps a background check silent.
bool ModeAllowsBackground(std::wstring_view mode);
bool IsStrictMode(std::wstring_view mode);

// Whether the offered version is to be announced: under "strict" any difference, otherwise only a
// strictly newer major, or the same major with a newer minor.
bool OfferWarrantsAnnouncement(std::wstring_view mode,
                               int32_t offeredMajor,
                               int32_t offeredMinor,
                               int32_t installedMajor,
                               int32_t installedMinor);

// An item is listed for every edition when its spec is "*", otherwise only for the edition it names.
bool IsListedForEdition(const CVersionItem& item, std::wstring_view installedSpec);
// A "link" item is opened in the browser instead of downloaded and run.
bool IsLinkItem(const CVersionItem& item);

// A number in [0, 1) with 45 random bits from three successive 15-bit draws a, b and c:
// (a * 2^30 + b * 2^15 + c) * 2^-45.
double Random01(const Draw15& draw);

// The staged roll-out: a ratio of 1 or more always passes; below that the draw passes when
// `random01` gives less than the ratio. A ratio that is not a number never passes.
bool RolloutDraw(double ratio, const std::function<double()>& random01);
