#include "scheduler/core/action_arguments.h"

#include "common/text/format.h"
#include "scheduler/core/power_action.h"

namespace {

// 12 counts as 0 and PM adds 12. 64-bit: the hour comes from the registry unchecked.
int64_t To24Hour(int32_t hour12, bool pm) {
    return int64_t{hour12 == 12 ? 0 : hour12} + (pm ? 12 : 0);
}

}  // namespace

std::wstring ActionNowArguments(int32_t action) {
    return FormatText(L"/A /M %d", {action});
}

std::wstring BuildActionArguments(const CSettings& settings, std::wstring_view text) {
    std::wstring arguments =
        settings.type == TimeKind::After
            ? FormatText(L"/A /M %d /T 0 %d %d", {settings.mode, settings.hour1, settings.min1})
            : FormatText(L"/A /M %d /T 1 %d %d",
                         {settings.mode, To24Hour(settings.hour2, settings.ampm != 0), settings.min2});
    if (!text.empty())
        arguments += L" /O " + QuoteArgument(text);
    return arguments;
}

std::wstring QuoteArgument(std::wstring_view text) {
    const std::wstring_view source = text.substr(0, text.find(L'\0'));
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : source) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            // Each backslash doubled, plus one that makes the quote literal.
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted.push_back(c);
    }
    // Before the closing quote they must be doubled too, or the last one would escape it.
    quoted.append(backslashes * 2, L'\\');
    quoted.push_back(L'"');
    return quoted;
}
