#include "scheduler/core/launch_request.h"

#include <cstddef>
#include <limits>

#include "common/time/time_arithmetic.h"

namespace {

wchar_t FoldAscii(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// `name` is upper case.
bool IsSwitch(std::wstring_view argument, std::wstring_view name) {
    if (argument.size() != name.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (FoldAscii(argument[i]) != name[i])
            return false;
    }
    return true;
}

bool IsCrtSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

}  // namespace

int32_t ReadCommandLineNumber(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && IsCrtSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    // Accumulated as a magnitude that stops growing just beyond the 32-bit range, so any number of
    // digits can neither overflow nor wrap.
    constexpr int64_t kBeyond = int64_t{std::numeric_limits<int32_t>::max()} + 2;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > kBeyond)
            magnitude = kBeyond;
    }
    return ClampToInt32(negative ? -magnitude : magnitude);
}

ParsedCommandLine ParseLaunchArguments(const std::vector<std::wstring>& arguments) {
    ParsedCommandLine parsed;
    LaunchRequest& request = parsed.request;
    const size_t count = arguments.size();
    // The next operand, or 0 once the line has run out.
    const auto number = [&](size_t& i) { return ++i < count ? ReadCommandLineNumber(arguments[i]) : 0; };

    for (size_t i = 0; i < count; ++i) {
        const std::wstring& argument = arguments[i];
        if (IsSwitch(argument, L"/S")) {
            request.silent = true;
        } else if (IsSwitch(argument, L"/A")) {
            request.autoStart = true;
        } else if (IsSwitch(argument, L"/T")) {
            request.kind = number(i);
            const int64_t hours = number(i);
            const int64_t minutes = number(i);
            // 32-bit operands give at most about 7.7e12 here: no 64-bit overflow, and the result is
            // clamped instead of wrapping into a countdown that would be due at once.
            request.seconds = ClampToInt32((hours * 60 + minutes) * 60);
        } else if (IsSwitch(argument, L"/M")) {
            if (i + 1 >= count)
                break;
            request.action = number(i);
        } else if (IsSwitch(argument, L"/O")) {
            if (i + 1 < count)
                request.text = arguments[++i];
        } else if (IsSwitch(argument, L"/I")) {
            parsed.command = LaunchCommand::RegisterJumpList;
            break;
        } else if (IsSwitch(argument, L"/P")) {
            parsed.pin = true;
        } else if (IsSwitch(argument, L"/U")) {
            parsed.command = LaunchCommand::UnregisterJumpList;
            break;
        } else if (IsSwitch(argument, L"/X")) {
            parsed.command = LaunchCommand::ExitRunning;
            break;
        }
    }
    return parsed;
}

bool ShowsMainWindow(const LaunchRequest& request) {
    return !request.autoStart && !request.silent;
}
