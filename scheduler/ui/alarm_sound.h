#pragma once

// What the alarm sounds like, as chosen on the options page: the user's file, the system's
// exclamation sound, or nothing. Used by the alarm box and by the options page's preview button.

#include "scheduler/core/settings.h"
#include "scheduler/ui/sound_player.h"

class IExclamationSound {
  public:
    virtual ~IExclamationSound() = default;
    virtual void Play() = 0;
};

// Ends the sound of the last alarm or preview first, then: alarmSound -1 plays soundFile (silently
// nothing when it cannot be opened), 1 the exclamation sound, anything else nothing.
void StartAlarmSound(CSoundPlayer& player, const CSettings& settings, IExclamationSound& exclamation);
