#include "common/http/body_text.h"

#include <climits>
#include <system_error>

#include "common/http/growing_buffer.h"
#include "common/http/http_rules.h"

std::wstring DecodeBodyText(const std::string& bytes,
                            unsigned requestedCodePage,
                            const WideConversion& convert) {
    if (bytes.empty())
        return std::wstring();
    if (bytes.size() > static_cast<size_t>(INT_MAX))
        throw std::system_error(static_cast<int>(kErrorArithmeticOverflow), std::system_category(),
                                "body too large to convert");
    const unsigned codePage = BodyCodePage(requestedCodePage);
    const int length = static_cast<int>(bytes.size());
    unsigned long error = 0;
    auto text = FillGrowingBuffer<wchar_t>(kFirstConversionChars, [&](wchar_t* out, size_t capacity) {
        error = 0;
        const int written = convert(codePage, bytes.data(), length, out, static_cast<int>(capacity), error);
        if (written > 0)
            return FillResult{FillResult::Status::kFilled, static_cast<size_t>(written)};
        if (error != kErrorInsufficientBuffer)
            return FillResult{FillResult::Status::kFailed, 0};
        const int needed = convert(codePage, bytes.data(), length, nullptr, 0, error);
        if (needed <= 0)
            return FillResult{FillResult::Status::kFailed, 0};
        return FillResult{FillResult::Status::kTooSmall, static_cast<size_t>(needed)};
    });
    if (!text)
        // A retry that was still too small reports no error of its own; say what happened.
        throw std::system_error(static_cast<int>(error ? error : kErrorInsufficientBuffer),
                                std::system_category(), "MultiByteToWideChar");
    return std::move(*text);
}
