#pragma once

// A stand-in for the MCI commands: it logs every command as text and answers with the error code
// set for it. The short form of a path is written around the path, so a test sees which one was used.

#include <cstdint>
#include <string>
#include <vector>

#include "scheduler/ui/mci_commands.h"

namespace scheduler_test {

class CFakeMci : public IMciCommands {
  public:
    std::vector<std::wstring> log;
    uint32_t nextDeviceId = 7;
    uint32_t openError = 0;
    uint32_t playError = 0;
    uint32_t stopError = 0;
    uint32_t closeError = 0;

    std::wstring ShortPath(const std::wstring& path) override {
        log.push_back(L"short " + path);
        return L"SHORT~1(" + path + L")";
    }
    uint32_t Open(const std::wstring& element, uint32_t& deviceId) override {
        log.push_back(L"open " + element);
        deviceId = openError ? 0 : nextDeviceId;
        return openError;
    }
    uint32_t Play(uint32_t deviceId, uintptr_t notifyWindow) override {
        log.push_back(L"play " + std::to_wstring(deviceId) + L" notify " + std::to_wstring(notifyWindow));
        return playError;
    }
    uint32_t Stop(uint32_t deviceId) override {
        log.push_back(L"stop " + std::to_wstring(deviceId));
        return stopError;
    }
    uint32_t Close(uint32_t deviceId) override {
        log.push_back(L"close " + std::to_wstring(deviceId));
        return closeError;
    }
};

}  // namespace scheduler_test
