#include "tests/e2e/driver_codec.h"

#include <limits>

namespace e2e {
namespace {

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

std::optional<std::uint64_t> ParseUnsigned(std::wstring_view digits, unsigned base) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : digits) {
        const int d = HexDigit(c);
        if (d < 0 || static_cast<unsigned>(d) >= base)
            return std::nullopt;
        if (value > (std::numeric_limits<std::uint64_t>::max() - static_cast<unsigned>(d)) / base)
            return std::nullopt;
        value = value * base + static_cast<unsigned>(d);
    }
    return value;
}

bool HasHexPrefix(std::wstring_view text) {
    return text.size() >= 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
}

void PutLe(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::optional<std::uint64_t> ParseHandle(std::wstring_view text) {
    if (HasHexPrefix(text))
        text.remove_prefix(2);
    return ParseUnsigned(text, 16);
}

std::optional<std::int64_t> ParseNumber(std::wstring_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == L'-' || text[0] == L'+')) {
        negative = text[0] == L'-';
        text.remove_prefix(1);
    }
    std::optional<std::uint64_t> magnitude;
    if (HasHexPrefix(text))
        magnitude = ParseUnsigned(text.substr(2), 16);
    else
        magnitude = ParseUnsigned(text, 10);
    if (!magnitude)
        return std::nullopt;
    constexpr std::uint64_t kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (negative) {
        if (*magnitude > kMax + 1)
            return std::nullopt;
        return *magnitude == kMax + 1 ? std::numeric_limits<std::int64_t>::min()
                                      : -static_cast<std::int64_t>(*magnitude);
    }
    if (*magnitude > kMax)
        return std::nullopt;
    return static_cast<std::int64_t>(*magnitude);
}

std::optional<std::vector<std::uint8_t>> DecodeHex(std::wstring_view text) {
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::string EncodeHex(const std::uint8_t* data, std::size_t size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(kDigits[data[i] >> 4]);
        out.push_back(kDigits[data[i] & 15]);
    }
    return out;
}

std::vector<std::uint8_t> Utf16Bytes(std::wstring_view text) {
    std::vector<std::uint8_t> out;
    auto unit = [&out](std::uint32_t u) {
        out.push_back(static_cast<std::uint8_t>(u & 0xFF));
        out.push_back(static_cast<std::uint8_t>((u >> 8) & 0xFF));
    };
    for (wchar_t c : text) {
        const auto cp = static_cast<std::uint32_t>(c);
        if constexpr (sizeof(wchar_t) > 2) {
            if (cp > 0x10FFFF) {
                unit(0xFFFD);
                continue;
            }
            if (cp > 0xFFFF) {
                unit(0xD800 + ((cp - 0x10000) >> 10));
                unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
                continue;
            }
        }
        unit(cp);
    }
    return out;
}

std::vector<std::uint8_t> FitPayload(std::vector<std::uint8_t> bytes, std::size_t length) {
    bytes.resize(length, 0);
    return bytes;
}

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    auto put = [&out](std::uint32_t cp) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = static_cast<std::uint32_t>(text[i]);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            const auto next = static_cast<std::uint32_t>(text[i + 1]);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                put(0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            cp = 0xFFFD;
        put(cp);
    }
    return out;
}

std::vector<std::uint8_t> EncodeBmp24(int width, int height, const std::vector<std::uint8_t>& bgrx) {
    if (width <= 0 || height <= 0)
        return {};
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    if (bgrx.size() / 4 / w < h)
        return {};
    const std::size_t stride = (w * 3 + 3) / 4 * 4;
    const std::size_t imageSize = stride * h;
    constexpr std::size_t kHeaders = 14 + 40;
    if (imageSize > std::numeric_limits<std::uint32_t>::max() - kHeaders)
        return {};
    std::vector<std::uint8_t> out(kHeaders + imageSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutLe(out, 2, static_cast<std::uint32_t>(out.size()), 4);
    PutLe(out, 10, kHeaders, 4);
    PutLe(out, 14, 40, 4);
    PutLe(out, 18, static_cast<std::uint32_t>(width), 4);
    PutLe(out, 22, static_cast<std::uint32_t>(height), 4);  // positive: bottom row first
    PutLe(out, 26, 1, 2);
    PutLe(out, 28, 24, 2);
    PutLe(out, 34, static_cast<std::uint32_t>(imageSize), 4);
    PutLe(out, 38, 2835, 4);  // 72 dpi, in pixels per metre
    PutLe(out, 42, 2835, 4);
    for (std::size_t row = 0; row < h; ++row) {
        const std::uint8_t* src = bgrx.data() + (h - 1 - row) * w * 4;
        std::uint8_t* dst = out.data() + kHeaders + row * stride;
        for (std::size_t x = 0; x < w; ++x) {
            dst[x * 3] = src[x * 4];
            dst[x * 3 + 1] = src[x * 4 + 1];
            dst[x * 3 + 2] = src[x * 4 + 2];
        }
    }
    return out;
}

namespace {

constexpr std::uint16_t kVkShift = 0x10;
constexpr std::uint16_t kVkControl = 0x11;
constexpr std::uint16_t kVkAlt = 0x12;

struct NamedKey {
    std::wstring_view name;
    std::uint16_t virtualKey;
};

constexpr NamedKey kNamedKeys[] = {
    {L"ctrl", kVkControl}, {L"shift", kVkShift}, {L"alt", kVkAlt}, {L"tab", 0x09},
    {L"esc", 0x1B},        {L"enter", 0x0D},     {L"space", 0x20}, {L"left", 0x25},
    {L"up", 0x26},         {L"right", 0x27},     {L"down", 0x28},
};

bool IsModifier(std::uint16_t key) {
    return key == kVkControl || key == kVkShift || key == kVkAlt;
}

std::optional<std::uint16_t> KeyOf(std::wstring_view name) {
    std::wstring lower(name);
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    for (const NamedKey& key : kNamedKeys)
        if (key.name == lower)
            return key.virtualKey;
    // Letters and digits are their own upper-case character codes.
    if (lower.size() == 1 &&
        ((lower[0] >= L'a' && lower[0] <= L'z') || (lower[0] >= L'0' && lower[0] <= L'9')))
        return static_cast<std::uint16_t>(lower[0] >= L'a' ? lower[0] - L'a' + L'A' : lower[0]);
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<KeyEvent>> ParseKeyChord(std::wstring_view text) {
    std::vector<std::uint16_t> keys;
    for (;;) {
        const std::size_t plus = text.find(L'+');
        const std::wstring_view part = text.substr(0, plus);
        const auto key = KeyOf(part);
        if (!key)
            return std::nullopt;
        for (std::uint16_t seen : keys)
            if (seen == *key)
                return std::nullopt;
        if (!keys.empty() && !IsModifier(keys.back()))
            return std::nullopt;
        keys.push_back(*key);
        if (plus == std::wstring_view::npos)
            break;
        text.remove_prefix(plus + 1);
    }
    if (IsModifier(keys.back()))
        return std::nullopt;
    std::vector<KeyEvent> events;
    for (std::uint16_t key : keys)
        events.push_back({key, false});
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        events.push_back({*key, true});
    return events;
}

}  // namespace e2e
