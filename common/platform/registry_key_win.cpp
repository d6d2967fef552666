#include "common/platform/registry_key_win.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

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
    if (size > std::numeric_limits<DWORD>::max() - 8)
        return false;
    const std::wstring valueName(name);
    if (size != 0 && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) &&
        (size % 2 != 0 || data[size - 1] != 0 || data[size - 2] != 0)) {
        // For text without its terminator the system peeks at the UTF-16 units just before and after
        // the data and stores one more unit when that one is NUL. Framing the bytes with non-NUL
        // units keeps those peeks inside our memory and stores exactly the bytes given.
        std::vector<uint8_t> framed(size + 5, 0xFF);
        std::copy(data, data + size, framed.begin() + 2);
        return ::RegSetValueExW(m_key.Get(), valueName.c_str(), 0, type, framed.data() + 2,
                                static_cast<DWORD>(size)) == ERROR_SUCCESS;
    }
    return ::RegSetValueExW(m_key.Get(), valueName.c_str(), 0, type, data, static_cast<DWORD>(size)) ==
           ERROR_SUCCESS;
}

bool CWin32RegistryKey::Delete(std::wstring_view name) {
    const std::wstring valueName(name);
    const LSTATUS status = ::RegDeleteValueW(m_key.Get(), valueName.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
