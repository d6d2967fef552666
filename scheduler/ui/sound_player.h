#pragma once

// The alarm's sound: one file opened on a multimedia device, played once from the start in the
// background, stopped when the alarm box closes. The device stays open until the next Open or
// Close, or until the player is destroyed.

#include <cstdint>
#include <string>

#include "scheduler/ui/mci_commands.h"

class CSoundPlayer {
  public:
    // The program's player: the system's MCI, no completion notice.
    CSoundPlayer();
    CSoundPlayer(IMciCommands& mci, uintptr_t notifyWindow);
    ~CSoundPlayer();
    CSoundPlayer(const CSoundPlayer&) = delete;
    CSoundPlayer& operator=(const CSoundPlayer&) = delete;

    // Closes what was open, then opens `path`. False when the device would not open it.
    bool Open(const std::wstring& path);
    // False without an open device or when the device refused.
    bool Play();
    bool Stop();
    void Close();

    // 0 while no device is open.
    uint32_t DeviceId() const { return m_deviceId; }

  private:
    IMciCommands& m_mci;
    uintptr_t m_notifyWindow;
    uint32_t m_deviceId = 0;
};
