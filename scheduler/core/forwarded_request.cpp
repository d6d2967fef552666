#include "scheduler/core/forwarded_request.h"

#include <cstring>
#include <string_view>

#include "scheduler/core/utf16_units.h"

namespace {

constexpr size_t kTextCharacters = ForwardedRequest::kTextUnits - 1;

void PutInt32(uint8_t* out, int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(bits >> (8 * i));
}

int32_t GetInt32(const uint8_t* in) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= uint32_t{in[i]} << (8 * i);
    return static_cast<int32_t>(bits);
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

ForwardedRequest ForwardedRequest::From(const LaunchRequest& request) {
    return {request.kind, request.seconds, request.action, request.text};
}

std::array<uint8_t, ForwardedRequest::kBytes> ForwardedRequest::Encode() const {
    std::array<uint8_t, kBytes> bytes{};
    PutInt32(&bytes[0], kind);
    PutInt32(&bytes[4], seconds);
    PutInt32(&bytes[8], action);
    const std::wstring_view whole(text);
    const std::u16string units =
        ToUtf16Units(CutToUtf16Units(whole.substr(0, whole.find(L'\0')), kTextCharacters));
    for (size_t i = 0; i < units.size(); ++i) {
        bytes[kTextOffset + 2 * i] = static_cast<uint8_t>(units[i]);
        bytes[kTextOffset + 2 * i + 1] = static_cast<uint8_t>(units[i] >> 8);
    }
    return bytes;
}

std::optional<ForwardedRequest> ForwardedRequest::Decode(uint64_t dwData,
                                                         const void* bytes,
                                                         size_t byteCount) {
    if (dwData != 0 || byteCount != kBytes || bytes == nullptr)
        return std::nullopt;
    // A private copy: the sender's buffer need not be aligned for 32-bit reads.
    std::array<uint8_t, kBytes> raw;
    std::memcpy(raw.data(), bytes, kBytes);

    ForwardedRequest request;
    request.kind = GetInt32(&raw[0]);
    request.seconds = GetInt32(&raw[4]);
    request.action = GetInt32(&raw[8]);
    std::u16string units;
    for (size_t i = 0; i < kTextCharacters; ++i) {
        const char16_t unit =
            static_cast<char16_t>(raw[kTextOffset + 2 * i] | (raw[kTextOffset + 2 * i + 1] << 8));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    // A text that runs on past the last unit we take was cut here; its last character must not be
    // half of a pair.
    const bool cut = units.size() == kTextCharacters && (raw[kTextOffset + 2 * kTextCharacters] |
                                                         raw[kTextOffset + 2 * kTextCharacters + 1]) != 0;
    if (cut && IsHighSurrogate(units.back()))
        units.pop_back();
    request.text = FromUtf16Units(units);
    return request;
}
