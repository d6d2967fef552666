#include "checker/core/checker_values.h"

#include <array>

#include "common/platform/registry_values.h"

std::optional<uint32_t> ReadFourByteNumber(const IRegistryKey& key, std::wstring_view name) {
    const std::optional<RegistryValue> value = key.Read(name);
    if (!value || value->data.size() > 4)
        return std::nullopt;
    uint32_t number = 0;
    for (size_t i = 0; i < value->data.size(); ++i)
        number |= uint32_t{value->data[i]} << (8 * i);
    return number;
}

std::wstring ReadText(const IRegistryKey& key, std::wstring_view name) {
    std::optional<RegistryValue> value = key.Read(name);
    if (!value)
        return std::wstring();
    if (value->type != RegistryType::String && value->type != RegistryType::ExpandString &&
        value->type != RegistryType::MultiString)
        return std::wstring();
    // A writer that counted bytes instead of characters can leave half a unit at the end; the whole
    // units before it are still the text.
    value->data.resize(value->data.size() & ~size_t{1});
    value->type = RegistryType::String;
    return StringOf(*value).value_or(std::wstring());
}

int64_t ReadStoredTime(const IRegistryKey& key, std::wstring_view name) {
    const std::optional<RegistryValue> value = key.Read(name);
    if (!value || value->data.size() != 8)
        return 0;
    uint64_t bits = 0;
    for (size_t i = 0; i < 8; ++i)
        bits |= uint64_t{value->data[i]} << (8 * i);
    return static_cast<int64_t>(bits);
}

bool WriteStoredTime(IRegistryKey& key, std::wstring_view name, int64_t time) {
    const auto bits = static_cast<uint64_t>(time);
    std::array<uint8_t, 8> bytes{};
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    return WriteBinary(key, name, bytes);
}
