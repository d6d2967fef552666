// Writes the argument vector that the C runtime built from this process's command line to
// standard output: each argument in UTF-16 followed by a NUL unit, the program name first. The
// splitter tests compare it with their own split of the same line.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    for (int i = 0; i < argc; ++i) {
        const DWORD bytes = static_cast<DWORD>((wcslen(argv[i]) + 1) * sizeof(wchar_t));
        DWORD written = 0;
        if (!WriteFile(out, argv[i], bytes, &written, nullptr) || written != bytes)
            return 1;
    }
    return 0;
}
