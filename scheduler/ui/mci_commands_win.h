#pragma once

// The MCI commands on mciSendCommandW (winmm).

#include "scheduler/ui/mci_commands.h"

class CWin32MciCommands : public IMciCommands {
  public:
    std::wstring ShortPath(const std::wstring& path) override;
    uint32_t Open(const std::wstring& element, uint32_t& deviceId) override;
    uint32_t Play(uint32_t deviceId, uintptr_t notifyWindow) override;
    uint32_t Stop(uint32_t deviceId) override;
    uint32_t Close(uint32_t deviceId) override;
};

// The one stateless instance the program's players share.
CWin32MciCommands& SystemMciCommands();
