#include "checker/core/checker_command_line.h"

#include <optional>
#include <string_view>

#include "common/text/ascii_case.h"

namespace {

bool StartsWithSwitch(std::wstring_view argument, std::wstring_view name) {
    return argument.size() >= name.size() && EqualsIgnoringAsciiCase(argument.substr(0, name.size()), name);
}

std::optional<CheckerCommand> Decide(const std::wstring& argument) {
    if (EqualsIgnoringAsciiCase(argument, L"/s"))
        return CheckerCommand{CheckerMode::Background, {}};
    if (EqualsIgnoringAsciiCase(argument, L"/q"))
        return CheckerCommand{CheckerMode::Quit, {}};
    if (StartsWithSwitch(argument, L"/i"))
        return CheckerCommand{CheckerMode::InstallReport, argument.substr(2)};
    if (StartsWithSwitch(argument, L"/u"))
        return CheckerCommand{CheckerMode::Uninstall, {}};
    return std::nullopt;
}

}  // namespace

CheckerCommand ParseCheckerCommandLine(const std::vector<std::wstring>& arguments) {
    for (const std::wstring& argument : arguments) {
        if (auto command = Decide(argument))
            return *command;
    }
    return CheckerCommand{};
}
