#include "scheduler/core/update_manual_check.h"

ManualCheckReply DecideManualCheck(UpdateOutcome outcome, bool accepted, bool notify) {
    switch (outcome) {
        case UpdateOutcome::NoVersion:
            return ManualCheckReply::NotInstalled;
        case UpdateOutcome::Loaded:
            if (!accepted)
                return ManualCheckReply::LoadFailed;
            return notify ? ManualCheckReply::AskToUpdate : ManualCheckReply::UpToDate;
        case UpdateOutcome::Skipped:
        case UpdateOutcome::Failed:
            break;
    }
    // A forced check is never skipped; should one be, there is no answer to speak of.
    return ManualCheckReply::LoadFailed;
}
