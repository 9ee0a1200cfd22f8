// unix_launcher.exe PROGRAM [ARGUMENT...]: starts the Linux program PROGRAM
// (its Linux path) with this process's standard handles, and ends once it
// has started it. Wine's start of a Linux program may close a handle of
// the process that starts it (one of Wine's own, or whatever holds that
// number by then), so the test programs never start one themselves: this
// short-lived process does (unix_process.h).
#include <windows.h>

#include <string>

namespace {

// The first word of `line`, quoted or not; `rest` is what follows it.
std::wstring FirstWord(const wchar_t *line, const wchar_t *&rest)
{
    const bool quoted = *line == L'"';
    const wchar_t *end = line + quoted;
    while (*end && *end != (quoted ? L'"' : L' '))
        ++end;
    std::wstring word(line + quoted, end);
    rest = end + (*end == L'"');
    while (*rest == L' ')
        ++rest;
    return word;
}

}  // namespace

int main()
{
    const wchar_t *arguments = nullptr;
    FirstWord(GetCommandLineW(), arguments);
    const wchar_t *afterProgram = nullptr;
    const std::wstring program = L"Z:" + FirstWord(arguments, afterProgram);
    std::wstring line = arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    return started ? 0 : 1;
}
