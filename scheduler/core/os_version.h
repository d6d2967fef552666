#pragma once

// An ordered code of the running Windows version: larger is newer within one platform family.
// Several features switch on it (ForceIfHung from Windows 2000, the thread UI language above
// 0x40004, taskbar pinning from Windows 7).

#include <cstdint>
#include <optional>
#include <string>

namespace OsVersionCode {
constexpr uint32_t QueryFailed = 0;
constexpr uint32_t Unknown = 1;
constexpr uint32_t Win32s = 0x10000;
constexpr uint32_t Windows95 = 0x20000;
constexpr uint32_t NtFamily = 0x40000;  // the bit that marks Windows NT, 2000, XP and later
constexpr uint32_t Windows2000 = 0x40002;
constexpr uint32_t WindowsXp = 0x40003;
constexpr uint32_t Windows2003 = 0x40004;
constexpr uint32_t WindowsVista = 0x40005;
constexpr uint32_t Windows7 = 0x40006;
constexpr uint32_t Windows8 = 0x40007;
constexpr uint32_t Windows81 = 0x40008;
constexpr uint32_t WindowsLater = 0x40009;
}  // namespace OsVersionCode

// The operating system's version record, as GetVersionExW reports it.
struct OsVersionRecord {
    uint32_t platformId = 0;  // 0 Win32s, 1 Windows 95 family, 2 NT
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    std::wstring servicePack;  // szCSDVersion
};

class IOsVersionSource {
  public:
    virtual ~IOsVersionSource() = default;
    // Nothing when the query fails.
    virtual std::optional<OsVersionRecord> Query() const = 0;
};

// The code of one record; nothing for a platform this table does not know.
std::optional<uint32_t> ClassifyOsVersion(const OsVersionRecord& record);

// Computes the code once and keeps it. A failed query gives 0 and is not kept, so the next call
// asks again; an unknown platform gives the kept code, or 1 when there is none.
class COsVersionClass {
  public:
    uint32_t Get(const IOsVersionSource& source);

  private:
    std::optional<uint32_t> m_cached;
};
