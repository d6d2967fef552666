#include "common/platform/registry_key_win.h"

#include <limits>
#include <string>

namespace {

// Another process may keep growing the value; past this many tries the read counts as failed.
constexpr int kReadAttempts = 8;

}  // namespace

std::optional<RegistryValue> CWin32RegistryKey::Read(std::wstring_view name) const {
    const std::wstring valueName(name);
    RegistryValue value;
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(m_key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    for (int attempt = 0; attempt < kReadAttempts && status == ERROR_SUCCESS; ++attempt) {
        if (size == 0) {
            value.type = type;
            value.data.clear();
            return value;
        }
        value.data.resize(size);
        status = ::RegQueryValueExW(m_key.Get(), valueName.c_str(), nullptr, &type, value.data.data(), &size);
        if (status == ERROR_SUCCESS) {
            value.type = type;
            value.data.resize(size);
            return value;
        }
        if (status == ERROR_MORE_DATA)
            status = ::RegQueryValueExW(m_key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    }
    return std::nullopt;
}

bool CWin32RegistryKey::Write(std::wstring_view name, uint32_t type, const uint8_t* data, size_t size) {
    if (size > std::numeric_limits<DWORD>::max())
        return false;
    const std::wstring valueName(name);
    return ::RegSetValueExW(m_key.Get(), valueName.c_str(), 0, type, data, static_cast<DWORD>(size)) ==
           ERROR_SUCCESS;
}

bool CWin32RegistryKey::Delete(std::wstring_view name) {
    const std::wstring valueName(name);
    const LSTATUS status = ::RegDeleteValueW(m_key.Get(), valueName.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
