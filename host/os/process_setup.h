// ProcessSetup: what morv-host sets up before anything else and puts back
// when it ends. The C library's character type from the environment; on
// Windows also Winsock (WSAStartup, which a host does for the plug-in) and
// the console's output in UTF-8 (SetConsoleOutputCP). Main thread, once.
#pragma once

class ProcessSetup {
public:
    // Throws std::runtime_error when the system refuses.
    ProcessSetup();
    ~ProcessSetup();
    ProcessSetup(const ProcessSetup &) = delete;
    ProcessSetup &operator=(const ProcessSetup &) = delete;

private:
    unsigned m_consoleCodePage = 0;  // Windows: the one to put back
};
