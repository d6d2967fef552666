#include "common/text/string_block.h"

namespace {

class UnitReader {
  public:
    explicit UnitReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    size_t Remaining() const { return (m_bytes.size() - m_offset) / 2; }
    uint32_t Next() {
        const uint32_t unit = m_bytes[m_offset] | (uint32_t{m_bytes[m_offset + 1]} << 8);
        m_offset += 2;
        return unit;
    }
    uint32_t Peek() const { return m_bytes[m_offset] | (uint32_t{m_bytes[m_offset + 1]} << 8); }
    void Skip(size_t units) { m_offset += units * 2; }

  private:
    std::span<const uint8_t> m_bytes;
    size_t m_offset = 0;
};

bool IsHighSurrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::optional<std::wstring> ReadStringFromBlock(std::span<const uint8_t> block, uint32_t stringId) {
    UnitReader reader(block);
    for (uint32_t index = 0; index < stringId % 16; ++index) {
        if (reader.Remaining() == 0)
            return std::nullopt;
        const size_t length = reader.Next();
        if (reader.Remaining() < length)
            return std::nullopt;
        reader.Skip(length);
    }
    if (reader.Remaining() == 0)
        return std::nullopt;
    size_t length = reader.Next();
    if (length == 0 || reader.Remaining() < length)
        return std::nullopt;

    std::wstring text;
    text.reserve(length);
    while (length > 0) {
        const uint32_t unit = reader.Next();
        --length;
        if constexpr (sizeof(wchar_t) == 4) {
            if (IsHighSurrogate(unit) && length > 0 && IsLowSurrogate(reader.Peek())) {
                const uint32_t low = reader.Next();
                --length;
                text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
                continue;
            }
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}
