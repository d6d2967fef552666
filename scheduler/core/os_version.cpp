#include "scheduler/core/os_version.h"

namespace {

wchar_t SecondLetter(const std::wstring& servicePack) {
    return servicePack.size() >= 2 ? servicePack[1] : L'\0';
}

}  // namespace

std::optional<uint32_t> ClassifyOsVersion(const OsVersionRecord& r) {
    switch (r.platformId) {
        case 0:
            return OsVersionCode::Win32s;
        case 1: {
            const wchar_t letter = SecondLetter(r.servicePack);
            if (r.major == 4 && r.minor == 0)
                return (letter == L'B' || letter == L'C') ? 0x20001u : 0x20000u;
            if (r.major == 4 && r.minor == 10)
                return letter == L'A' ? 0x20003u : 0x20002u;
            if (r.major == 4 && r.minor == 90)
                return 0x20004u;
            return 0x20005u;
        }
        case 2:
            if (r.major == 3)
                return 0x40000u;
            if (r.major == 4)
                return 0x40001u;
            if (r.major == 5 && r.minor <= 2)
                return OsVersionCode::Windows2000 + r.minor;
            if (r.major == 6 && r.minor <= 3)
                return OsVersionCode::WindowsVista + r.minor;
            return OsVersionCode::WindowsLater;
        default:
            return std::nullopt;
    }
}

uint32_t COsVersionClass::Get(const IOsVersionSource& source) {
    if (m_cached)
        return *m_cached;
    const auto record = source.Query();
    if (!record)
        return OsVersionCode::QueryFailed;
    const auto code = ClassifyOsVersion(*record);
    if (!code)
        return OsVersionCode::Unknown;
    m_cached = code;
    return *code;
}
