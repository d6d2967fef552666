#pragma once

// Tivolan's command line: what the user, the Run entry, the jump list and the shortcuts ask of one
// start of the program.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct LaunchRequest {
    bool silent = false;     // "/S": no main window
    bool autoStart = false;  // "/A": hand kind, seconds, action and text to the scheduler
    int32_t kind = 0;        // TimeKind
    int32_t seconds = 0;     // countdown length, or the clock time in seconds after local midnight
    int32_t action = 0;      // PowerAction
    std::wstring text;       // alarm message or program path

    bool operator==(const LaunchRequest&) const = default;
};

// What the process does after parsing.
enum class LaunchCommand {
    Start,               // the normal start: forward to a running instance, or become the first one
    RegisterJumpList,    // "/I": build the jump list, exit 0
    UnregisterJumpList,  // "/U": remove the jump list and the browser setting, exit 0
    ExitRunning,         // "/X": ask a running instance to exit, exit 0
};

struct ParsedCommandLine {
    LaunchRequest request;
    LaunchCommand command = LaunchCommand::Start;
    // "/P" came before any switch that ends the process: pin to the taskbar first, then carry out
    // the command (a "/P" after "/I", "/U" or "/X" is never read).
    bool pin = false;
};

// The arguments after the program name, read left to right in one pass. Switch names are compared
// without regard to case, anything else is skipped; the operands of "/T", "/M" and "/O" are the next
// arguments whatever they look like. "/T k h m" with operands missing at the end counts them as 0;
// "/M" without its operand ends the parse; "/O" without one leaves the text. The seconds of "/T"
// are (h × 60 + m) × 60 clamped into 32 bits.
ParsedCommandLine ParseLaunchArguments(const std::vector<std::wstring>& arguments);

// A decimal number as the C runtime's wide-string-to-integer reading gives it: leading white space,
// an optional sign, digits up to the first non-digit, 0 without digits. A value beyond 32 bits is
// clamped to the nearest 32-bit one rather than wrapped.
int32_t ReadCommandLineNumber(std::wstring_view text);

// The first instance shows its main window only when the start asked for neither an action nor a
// silent start.
bool ShowsMainWindow(const LaunchRequest& request);
