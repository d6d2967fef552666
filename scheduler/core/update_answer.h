#pragma once

// Reading the update endpoint's answer:
//   <version display=".." current=".." url=".." restricted=".." mode="..">
//     <ad url=".." width=".." height=".."><cookie url=".." p3p=".."/></ad>
//   </version>
// Element names compare without regard to case, attribute names exactly; a missing attribute reads
// as empty text.

#include <cstdint>
#include <string>
#include <string_view>

#include "common/platform/registry.h"
#include "scheduler/core/settings.h"
#include "scheduler/core/update_info.h"
#include "scheduler/core/update_toast_ad.h"

// Fills `info` from the root's attributes and `ad` from the "ad" children in document order (the last
// one wins, with its own cookies only; "$Version" and "$Lang" in its address become `version` and
// `lang`; a width or height is taken only when it is a positive decimal number, otherwise the
// previous one stays). An "ad" that is absent leaves no advertisement but keeps the size.
// False, with neither record touched, when the text does not parse or its root is not "version".
bool AcceptUpdateAnswer(std::wstring_view response,
                        std::wstring_view version,
                        std::wstring_view lang,
                        ToastAd& ad,
                        UpdateInfo& info);

// AcceptUpdateAnswer, and once the answer is read the moment its check began becomes the settings'
// lastUpdateCheck, saved without the task list. An answer that is not read writes nothing.
bool AcceptAndRecordUpdateAnswer(std::wstring_view response,
                                 int64_t checkTime,
                                 std::wstring_view version,
                                 std::wstring_view lang,
                                 ToastAd& ad,
                                 UpdateInfo& info,
                                 CSettings& settings,
                                 IRegistry& registry);

// A positive decimal number as an attribute gives it (leading blanks and a "+" allowed, anything after
// the digits ignored); nothing for an empty, zero, negative or out-of-range text.
bool ReadPositiveDimension(std::wstring_view text, int& value);
