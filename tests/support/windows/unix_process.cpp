#include "support/windows/unix_process.h"

#include <cstdlib>
#include <utility>

namespace {

// The longest unix_launcher.exe may take to start a program.
constexpr DWORD LAUNCH_MS = 30000;

// The Windows command line whose words, as Wine splits them, are `words`.
std::string CommandLine(const std::vector<std::string> &words)
{
    std::string line;
    for (const std::string &word : words) {
        line += line.empty() ? "\"" : " \"";
        std::size_t backslashes = 0;
        for (const char c : word) {
            if (c == '"')
                line.append(backslashes + 1, '\\');
            backslashes = c == '\\' ? backslashes + 1 : 0;
            line += c;
        }
        line.append(backslashes, '\\');
        line += '"';
    }
    return line;
}

// A loopback connection: the first end stays, the second is inherited.
std::pair<SOCKET, SOCKET> ConnectedPair()
{
    const SOCKET listener = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    SOCKET kept = INVALID_SOCKET;
    SOCKET given = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, 0);
    if (bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 && listen(listener, 1) == 0 &&
        getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) == 0 &&
        connect(given, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0)
        kept = accept(listener, nullptr, nullptr);
    SetHandleInformation(reinterpret_cast<HANDLE>(kept), HANDLE_FLAG_INHERIT, 0);
    closesocket(listener);
    return {kept, given};
}

// unix_launcher.exe, beside the test program.
std::string LauncherPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return (std::filesystem::path(path).parent_path() / "unix_launcher.exe").string();
}

// Starts the program through unix_launcher.exe and waits until it has.
bool Start(const std::vector<std::string> &words, HANDLE input, HANDLE output)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const std::string launcher = LauncherPath();
    std::string line = CommandLine({launcher}) + " " + CommandLine(words);
    if (!CreateProcessA(launcher.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    DWORD status = 1;
    if (WaitForSingleObject(process.hProcess, LAUNCH_MS) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status == 0;
}

}  // namespace

std::string UnixPath(const std::filesystem::path &path)
{
    using Translate = char *(CDECL *)(LPCWSTR);
    const auto translate = reinterpret_cast<Translate>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char *linuxPath = translate ? translate(path.wstring().c_str()) : nullptr;
    const std::string translated = linuxPath ? linuxPath : path.string();
    HeapFree(GetProcessHeap(), 0, linuxPath);
    return translated;
}

// Wine cannot wait for a Linux program nor read its exit code, so the
// shell writes the code on the socket.
int RunUnixShell(const std::string &command)
{
    UnixChild shell({"/bin/sh", "-c", "export PATH=/usr/bin:/bin; { " + command + "\n} >/dev/null 2>&1; echo $?"});
    const std::optional<std::string> status = shell.ReadLine(INFINITE);
    return status ? std::atoi(status->c_str()) : -1;
}

UnixChild::UnixChild(const std::vector<std::string> &words)
{
    const auto [kept, given] = ConnectedPair();
    m_socket = kept;
    const auto handle = reinterpret_cast<HANDLE>(given);
    if (kept != INVALID_SOCKET && SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT))
        Start(words, handle, handle);
    closesocket(given);
}

UnixChild::~UnixChild() { closesocket(m_socket); }

std::optional<std::string> UnixChild::ReadLine(DWORD timeout)
{
    while (m_read.find('\n') == std::string::npos) {
        WSAPOLLFD poll{m_socket, POLLRDNORM, 0};
        char buffer[512];
        const int received = WSAPoll(&poll, 1, static_cast<INT>(timeout)) == 1 ? recv(m_socket, buffer, sizeof buffer, 0) : -1;
        if (received <= 0)
            return std::nullopt;
        m_read.append(buffer, static_cast<std::size_t>(received));
    }
    const std::size_t end = m_read.find('\n');
    std::string line = m_read.substr(0, end);
    m_read.erase(0, end + 1);
    return line;
}

bool UnixChild::Write(const std::string &text)
{
    return send(m_socket, text.data(), static_cast<int>(text.size()), 0) == static_cast<int>(text.size());
}
