#pragma once

// What the user is told at the end of a check they asked for ("Check &Update").

#include "scheduler/core/update_check.h"

enum class ManualCheckReply {
    NotInstalled,  // the program has no version to ask about (string 175)
    LoadFailed,    // no answer, or one that could not be read (string 176)
    AskToUpdate,   // a newer version: the question that may open the download page (string 174)
    UpToDate,      // nothing newer (string 177)
};

// `accepted` is whether the loaded answer was read; `notify` is ShouldNotify with force, so an answer
// that silences the background check still offers a newer version here.
ManualCheckReply DecideManualCheck(UpdateOutcome outcome, bool accepted, bool notify);
