#include "scheduler/ui/mci_commands_win.h"

#include <windows.h>

#include <mmsystem.h>

std::wstring CWin32MciCommands::ShortPath(const std::wstring& path) {
    // MAX_PATH first; a short form that does not fit (a long path) is asked for again at its size.
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length =
            ::GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            break;
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(length, L'\0');
    }
    return path;
}

uint32_t CWin32MciCommands::Open(const std::wstring& element, uint32_t& deviceId) {
    MCI_OPEN_PARMSW parameters{};
    parameters.lpstrElementName = element.c_str();
    const MCIERROR error = ::mciSendCommandW(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_OPEN_SHAREABLE | MCI_WAIT,
                                             reinterpret_cast<DWORD_PTR>(&parameters));
    deviceId = error == 0 ? parameters.wDeviceID : 0;
    return error;
}

uint32_t CWin32MciCommands::Play(uint32_t deviceId, uintptr_t notifyWindow) {
    MCI_PLAY_PARMS parameters{};
    parameters.dwCallback = notifyWindow;
    parameters.dwFrom = 0;
    return ::mciSendCommandW(deviceId, MCI_PLAY, MCI_NOTIFY | MCI_FROM,
                             reinterpret_cast<DWORD_PTR>(&parameters));
}

uint32_t CWin32MciCommands::Stop(uint32_t deviceId) {
    MCI_GENERIC_PARMS parameters{};
    return ::mciSendCommandW(deviceId, MCI_STOP, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&parameters));
}

uint32_t CWin32MciCommands::Close(uint32_t deviceId) {
    MCI_GENERIC_PARMS parameters{};
    return ::mciSendCommandW(deviceId, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&parameters));
}

CWin32MciCommands& SystemMciCommands() {
    static CWin32MciCommands commands;
    return commands;
}
