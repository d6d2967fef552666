#include "scheduler/ui/alarm_sound.h"

void StartAlarmSound(CSoundPlayer& player, const CSettings& settings, IExclamationSound& exclamation) {
    player.Close();
    switch (settings.alarmSound) {
        case -1:
            if (player.Open(settings.soundFile))
                player.Play();
            break;
        case 1:
            exclamation.Play();
            break;
        default:
            break;
    }
}
