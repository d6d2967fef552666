#pragma once

#include "scheduler/core/scheduler_services.h"

// Starts the Run action's program through the shell, as a double-click would.
class CShellProgramLauncher : public IProgramLauncher {
  public:
    bool Start(const std::wstring& file) override;
};
