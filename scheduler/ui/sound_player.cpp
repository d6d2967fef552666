#include "scheduler/ui/sound_player.h"

CSoundPlayer::CSoundPlayer(IMciCommands& mci, uintptr_t notifyWindow)
    : m_mci(mci), m_notifyWindow(notifyWindow) {}

CSoundPlayer::~CSoundPlayer() {
    Close();
}

bool CSoundPlayer::Open(const std::wstring& path) {
    Close();
    uint32_t deviceId = 0;
    if (m_mci.Open(m_mci.ShortPath(path), deviceId) != 0)
        return false;
    m_deviceId = deviceId;
    return m_deviceId != 0;
}

bool CSoundPlayer::Play() {
    if (m_deviceId == 0)
        return false;
    return m_mci.Play(m_deviceId, m_notifyWindow) == 0;
}

bool CSoundPlayer::Stop() {
    if (m_deviceId == 0)
        return false;
    return m_mci.Stop(m_deviceId) == 0;
}

void CSoundPlayer::Close() {
    // Forgotten even when the close fails: a device id kept after it would be sent later commands
    // that may reach a device opened since under the same number.
    if (m_deviceId == 0)
        return;
    m_mci.Close(m_deviceId);
    m_deviceId = 0;
}
