#include "support/aiosmtpd_server.h"

#include <cstdlib>

AiosmtpdServer::AiosmtpdServer(const std::filesystem::path &folder, const std::vector<std::string> &options)
    : m_child(std::make_unique<UnixChild>(Words(UnixPath(folder), options)))
{
    const std::optional<std::string> port = m_child->ReadLine();
    m_port = port ? std::atoi(port->c_str()) : 0;
}

// The script ends when its input, the socket, closes.
AiosmtpdServer::~AiosmtpdServer() = default;
