#pragma once

// The alarm itself: the user's message in a topmost box while the chosen sound plays.

#include <windows.h>

#include <string>

#include "scheduler/core/settings.h"
#include "scheduler/ui/alarm_sound.h"
#include "scheduler/ui/sound_player.h"

// The system's exclamation sound (MessageBeep).
class CSystemExclamation : public IExclamationSound {
  public:
    void Play() override;
};

// StartAlarmSound with the system's exclamation sound.
void StartAlarmSound(CSoundPlayer& player, const CSettings& settings);

// Shows `message` (padded to 20 characters) in a message box owned by `owner`, with the program's
// name as caption and the alarm icon, the sound running meanwhile; stops the sound when the box
// is closed. Returns when it is closed.
void ShowAlarmBox(HWND owner, const std::wstring& message, CSoundPlayer& player, const CSettings& settings);
void ShowAlarmBox(HWND owner,
                  const std::wstring& message,
                  CSoundPlayer& player,
                  const CSettings& settings,
                  IExclamationSound& exclamation);
