#pragma once

// What a start of the checker is asked to do. The first argument that is one of the four switches
// decides and nothing after it is read; without one the check runs interactively.

#include <string>
#include <vector>

enum class CheckerMode {
    Interactive,    // no switch: the check dialog
    Background,     // "/s": the hidden window that checks once and ends
    Quit,           // "/q": close a running background checker
    InstallReport,  // "/i" + text: report the installation
    Uninstall,      // "/u" + anything: close a running checker and remove the browser setting
};

struct CheckerCommand {
    CheckerMode mode = CheckerMode::Interactive;
    std::wstring text;  // InstallReport only: the argument after its first two characters

    bool operator==(const CheckerCommand&) const = default;
};

// `arguments` are those after the program name. "/s" and "/q" must be the whole argument, "/i" and
// "/u" only its first two characters; letters compare in any case (ASCII).
CheckerCommand ParseCheckerCommandLine(const std::vector<std::wstring>& arguments);
