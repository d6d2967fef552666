#pragma once

// Splitting a command line into arguments the way the program's C runtime (msvcrt) builds argv: what
// the Windows program will see of the arguments the product writes (QuoteArgument, the action
// shortcuts and jump-list links), so the tests can read them back as the program does.
//
// Rules after the program name: spaces and tabs separate arguments outside double quotes; a double
// quote starts or ends a group (it is not kept); 2n backslashes before a double quote give n
// backslashes and the quote groups, 2n+1 give n backslashes and a literal quote; backslashes
// anywhere else are literal; inside a group, two double quotes give one literal quote and the group
// goes on. That last rule is where the runtime and the shell's CommandLineToArgvW part ways (the
// shell ends the group there); QuoteArgument never writes two quotes in a row inside a group, so
// both read what it writes alike. A NUL ends the line, as it does for the runtime.

#include <string>
#include <string_view>
#include <vector>

// The whole line: the program name first (up to a space or tab outside quotes, quotes dropped, no
// backslash rules, as Microsoft's runtime reads it), then the arguments. Never empty. Wine's runtime
// reads the program name by the argument rules; the two differ only where a backslash stands before
// a quote, which no program path has.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// Arguments only, as they follow the program name (also the arguments stored in a shortcut).
std::vector<std::wstring> SplitArguments(std::wstring_view arguments);
