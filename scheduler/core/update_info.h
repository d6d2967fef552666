#pragma once

// What the update endpoint said about the newest version, and the decisions Tivolan draws from it.

#include <string>
#include <string_view>

struct UpdateInfo {
    std::wstring display;     // the text shown in the update notice
    std::wstring url;         // download or information address; untrusted, checked where it is opened
    std::wstring current;     // the newest version
    std::wstring restricted;  // users of this version or older must update or leave
    std::wstring mode;        // "skip", "exact" or anything else (newer only)

    bool operator==(const UpdateInfo&) const = default;
};

// Whether the user should hear of the answer. "skip" silences only the background check (not
// `force`); "exact" tells of any different version, every other mode only of a newer one. Modes
// compare without regard to case.
bool ShouldNotify(const UpdateInfo& info, std::wstring_view version, bool force);

// Whether `version` is one that must update: a declined update then ends the program. Never for an
// answer without a restricted version.
bool IsRestricted(const UpdateInfo& info, std::wstring_view version);
