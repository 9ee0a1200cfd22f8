#include "host/os/process_setup.h"

#include <winsock2.h>
#include <windows.h>

#include <clocale>
#include <stdexcept>

ProcessSetup::ProcessSetup()
{
    std::setlocale(LC_CTYPE, "");
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        throw std::runtime_error("Winsock 2 cannot be started");
    m_consoleCodePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
}

ProcessSetup::~ProcessSetup()
{
    if (m_consoleCodePage)
        SetConsoleOutputCP(m_consoleCodePage);
    WSACleanup();
}
