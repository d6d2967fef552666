#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/path/file_system.h"
#include "common/platform/unique_resource.h"
#include "scheduler/core/action_arguments.h"
#include "tests/support/command_line_split.h"
#include "tests/unit/awkward_texts.h"
#include "tests/unit/split_cases.h"

namespace {

using Arguments = std::vector<std::wstring>;

std::wstring EchoProgram() {
    return GetModuleDirectory() + L"\\argv_echo.exe";
}

// The argument vector that the C runtime of a program built like ours makes of `commandLine`.
Arguments RuntimeSplit(const std::wstring& commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return {L"<no pipe>"};
    UniqueHandle reader(readEnd);
    UniqueHandle writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = nullptr;
    PROCESS_INFORMATION info{};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (!CreateProcessW(EchoProgram().c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &info))
        return {L"<not started>"};
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    writer.Reset();

    std::string bytes;
    char buffer[1024];
    DWORD read = 0;
    while (ReadFile(reader.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    WaitForSingleObject(process.Get(), 10000);
    std::wstring output(bytes.size() / sizeof(wchar_t), L'\0');
    memcpy(output.data(), bytes.data(), output.size() * sizeof(wchar_t));

    Arguments result;
    for (size_t start = 0; start < output.size();) {
        const size_t end = output.find(L'\0', start);
        result.push_back(output.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

// The shell's split of the same line.
Arguments ShellSplit(const std::wstring& commandLine) {
    int count = 0;
    wchar_t** vector = CommandLineToArgvW(commandLine.c_str(), &count);
    if (!vector)
        return {L"<failed>"};
    Arguments result(vector, vector + count);
    LocalFree(vector);
    return result;
}

std::wstring Program() {
    return L"\"" + EchoProgram() + L"\"";
}

// The cases the native tests hold the splitter to are what the runtime itself gives.
TEST(SplitCommandLineUnderTheRuntime, AgreesWithTheRuntimeOnEveryRule) {
    for (const SplitCase& c : RuntimeSplitCases()) {
        const std::wstring line = Program() + L" " + c.arguments;
        Arguments expected = {EchoProgram()};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(RuntimeSplit(line), expected) << testing::PrintToString(line);
        EXPECT_EQ(SplitCommandLine(line), expected) << testing::PrintToString(line);
    }
    // The program name is only read, so it need not name the program that runs. Wine's runtime reads
    // it by the argument rules, which differ only at a backslash before a quote (no program path has
    // one).
    for (const wchar_t* name :
         {L"C:\\Tools\\t.exe", L"\"C:\\Program Files\"\\x.exe", L"\"C:\\P Q\\x\".exe"}) {
        const std::wstring line = std::wstring(name) + L" \"b\\\"c\" d";
        EXPECT_EQ(SplitCommandLine(line), RuntimeSplit(line)) << testing::PrintToString(line);
    }
}

// Everything the program writes for itself (the Run entry, the jump list, shortcuts) must read back
// the same with the runtime, the shell and our own splitter. The runtime sees all of it on one line,
// since each start of a process under Wine is slow.
TEST(SplitCommandLineUnderTheRuntime, WrittenArgumentsReadBackAlikeEverywhere) {
    std::vector<std::wstring> lines = {L"/s"};
    // The jump list's seven actions, then the alarm (7) at a clock time. (The action names clash
    // with <windows.h>, whose Sleep is a function.)
    for (int32_t action = 0; action <= 6; ++action)
        lines.push_back(ActionNowArguments(action));
    CSettings settings;
    settings.mode = 7;
    settings.type = 1;
    for (const std::wstring& text : AwkwardTexts())
        lines.push_back(BuildActionArguments(settings, text));

    std::wstring all = Program();
    for (const std::wstring& arguments : lines) {
        const std::wstring line = Program() + L" " + arguments;
        EXPECT_EQ(SplitCommandLine(line), ShellSplit(line)) << testing::PrintToString(line);
        all += L" " + arguments;
    }
    const Arguments ours = SplitCommandLine(all);
    EXPECT_EQ(ours.size(), 2 + 3 * 7 + 9 * AwkwardTexts().size());
    EXPECT_EQ(ours, RuntimeSplit(all));
}

}  // namespace
