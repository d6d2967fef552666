#include "common/platform/registry_values.h"

namespace {

uint64_t LittleEndian(const std::vector<uint8_t>& bytes) {
    uint64_t result = 0;
    for (size_t i = bytes.size(); i-- > 0;)
        result = (result << 8) | bytes[i];
    return result;
}

void AppendLittleEndian(std::vector<uint8_t>& bytes, uint64_t value, size_t size) {
    for (size_t i = 0; i < size; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void AppendUnit(std::vector<uint8_t>& bytes, uint32_t unit) {
    AppendLittleEndian(bytes, unit, 2);
}

bool IsHighSurrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::optional<uint32_t> DwordOf(const RegistryValue& value) {
    if (value.type != RegistryType::Dword || value.data.size() != 4)
        return std::nullopt;
    return static_cast<uint32_t>(LittleEndian(value.data));
}

std::optional<uint64_t> QwordOf(const RegistryValue& value) {
    if (value.type != RegistryType::Qword || value.data.size() != 8)
        return std::nullopt;
    return LittleEndian(value.data);
}

std::optional<std::wstring> StringOf(const RegistryValue& value) {
    if (value.type != RegistryType::String && value.type != RegistryType::ExpandString)
        return std::nullopt;
    if (value.data.size() % 2 != 0)
        return std::nullopt;
    std::wstring text;
    const size_t units = value.data.size() / 2;
    for (size_t i = 0; i < units; ++i) {
        const uint32_t unit = value.data[2 * i] | (uint32_t{value.data[2 * i + 1]} << 8);
        if (unit == 0)
            break;
        if constexpr (sizeof(wchar_t) == 2) {
            text.push_back(static_cast<wchar_t>(unit));
        } else {
            // Join surrogate pairs into one character; an unpaired surrogate is kept as it is, as
            // Windows keeps it.
            if (IsHighSurrogate(unit) && i + 1 < units) {
                const uint32_t next = value.data[2 * i + 2] | (uint32_t{value.data[2 * i + 3]} << 8);
                if (IsLowSurrogate(next)) {
                    text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00)));
                    ++i;
                    continue;
                }
            }
            text.push_back(static_cast<wchar_t>(unit));
        }
    }
    return text;
}

std::vector<uint8_t> EncodeRegistryString(std::wstring_view text) {
    std::vector<uint8_t> bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (const wchar_t ch : text) {
        const auto code = static_cast<uint32_t>(ch);
        if constexpr (sizeof(wchar_t) == 2) {
            AppendUnit(bytes, code);
        } else {
            if (code <= 0xFFFF) {
                AppendUnit(bytes, code);
            } else if (code <= 0x10FFFF) {
                AppendUnit(bytes, 0xD800 + ((code - 0x10000) >> 10));
                AppendUnit(bytes, 0xDC00 + ((code - 0x10000) & 0x3FF));
            } else {
                AppendUnit(bytes, 0xFFFD);
            }
        }
    }
    AppendUnit(bytes, 0);
    return bytes;
}

std::optional<uint32_t> ReadDword(const IRegistryKey& key, std::wstring_view name) {
    const auto value = key.Read(name);
    return value ? DwordOf(*value) : std::nullopt;
}

std::optional<uint64_t> ReadQword(const IRegistryKey& key, std::wstring_view name) {
    const auto value = key.Read(name);
    return value ? QwordOf(*value) : std::nullopt;
}

std::optional<std::wstring> ReadString(const IRegistryKey& key, std::wstring_view name) {
    const auto value = key.Read(name);
    return value ? StringOf(*value) : std::nullopt;
}

bool WriteDword(IRegistryKey& key, std::wstring_view name, uint32_t value) {
    std::vector<uint8_t> bytes;
    AppendLittleEndian(bytes, value, 4);
    return key.Write(name, RegistryType::Dword, bytes.data(), bytes.size());
}

bool WriteQword(IRegistryKey& key, std::wstring_view name, uint64_t value) {
    std::vector<uint8_t> bytes;
    AppendLittleEndian(bytes, value, 8);
    return key.Write(name, RegistryType::Qword, bytes.data(), bytes.size());
}

bool WriteString(IRegistryKey& key, std::wstring_view name, std::wstring_view text) {
    const auto bytes = EncodeRegistryString(text);
    return key.Write(name, RegistryType::String, bytes.data(), bytes.size());
}

bool WriteBinary(IRegistryKey& key, std::wstring_view name, std::span<const uint8_t> bytes) {
    return key.Write(name, RegistryType::Binary, bytes.data(), bytes.size());
}
