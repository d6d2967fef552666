// The program's own player, on the system's MCI; kept apart so the portable rules of sound_player.cpp
// build without winmm.

#include "scheduler/ui/mci_commands_win.h"
#include "scheduler/ui/sound_player.h"

CSoundPlayer::CSoundPlayer() : CSoundPlayer(SystemMciCommands(), 0) {}
