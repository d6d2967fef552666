#include "checker/core/attribute_numbers.h"

#include <charconv>
#include <limits>
#include <string>
#include <system_error>

#include "common/text/ascii_case.h"

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Skips blanks and one sign; true when the sign was a minus.
bool SkipBlanksAndSign(std::wstring_view text, size_t& at) {
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-'))
        return text[at++] == L'-';
    return false;
}

bool StartsWithIgnoringCase(std::wstring_view text, size_t at, std::string_view word) {
    if (text.size() - at < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (AsciiLower(text[at + i]) != static_cast<wchar_t>(word[i]))
            return false;
    }
    return true;
}

}  // namespace

int32_t ReadAttributeInteger(std::wstring_view text) {
    size_t at = 0;
    const bool negative = SkipBlanksAndSign(text, at);
    // One past INT32_MAX in magnitude is where both directions saturate, so the sum never
    // grows past it.
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        magnitude = magnitude * 10 + (text[at] - L'0');
        if (magnitude > kLimit)
            magnitude = kLimit;
    }
    if (negative)
        return static_cast<int32_t>(-magnitude);
    return magnitude >= kLimit ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(magnitude);
}

double ReadAttributeReal(std::wstring_view text) {
    size_t at = 0;
    const bool negative = SkipBlanksAndSign(text, at);
    const double sign = negative ? -1.0 : 1.0;
    if (StartsWithIgnoringCase(text, at, "inf"))
        return sign * std::numeric_limits<double>::infinity();
    if (StartsWithIgnoringCase(text, at, "nan"))
        return 0.0;

    // The number is copied as ASCII and handed to from_chars, which rounds correctly and knows no
    // locale. Leading zeros are left out of the copy so that a long run of them costs nothing but
    // the scan; they change no value.
    std::string number;
    bool anyDigit = false;
    int64_t integerDigits = 0;  // significant digits before the point
    int64_t leadingZeros = 0;   // zeros after the point before the first significant digit
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        anyDigit = true;
        if (number.empty() && text[at] == L'0')
            continue;
        number += static_cast<char>(text[at]);
        ++integerDigits;
    }
    if (at < text.size() && text[at] == L'.') {
        ++at;
        number += '.';
        for (; at < text.size() && IsDigit(text[at]); ++at) {
            anyDigit = true;
            if (integerDigits == 0 && number == "." && text[at] == L'0') {
                ++leadingZeros;
                continue;
            }
            number += static_cast<char>(text[at]);
        }
    }
    if (!anyDigit)
        return 0.0;
    const bool significant = number.find_first_of("123456789") != std::string::npos;
    if (!significant)
        return sign * 0.0;

    // An exponent counts only when digits follow its letter and optional sign.
    int64_t exponent = 0;
    if (at < text.size() && (text[at] == L'e' || text[at] == L'E')) {
        size_t e = at + 1;
        bool negativeExponent = false;
        if (e < text.size() && (text[e] == L'+' || text[e] == L'-'))
            negativeExponent = text[e++] == L'-';
        if (e < text.size() && IsDigit(text[e])) {
            for (; e < text.size() && IsDigit(text[e]); ++e) {
                // Far beyond any double; capping keeps the sum from overflowing.
                if (exponent < 1'000'000)
                    exponent = exponent * 10 + (text[e] - L'0');
            }
            if (negativeExponent)
                exponent = -exponent;
        }
    }
    // The zeros skipped after the point move the exponent instead.
    exponent -= leadingZeros;
    std::string written;
    written.reserve(number.size() + 24);
    if (number.front() == '.')
        written.push_back('0');
    written.append(number);
    if (exponent != 0) {
        written.push_back('e');
        written.append(std::to_string(exponent));
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(written.data(), written.data() + written.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Out of range either way: the position of the first significant digit tells which.
        const int64_t magnitude = (integerDigits > 0 ? integerDigits : 0) + exponent;
        return magnitude > 0 ? sign * std::numeric_limits<double>::infinity() : sign * 0.0;
    }
    if (error != std::errc())
        return 0.0;
    return sign * value;
}
