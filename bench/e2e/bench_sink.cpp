#include "bench/e2e/bench_sink.h"

#include "host/loopback/loopback_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

constexpr auto START_LIMIT = std::chrono::seconds(10);

sockaddr_in Loopback(unsigned short port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port of 127.0.0.1 that nothing listens on now; 0 when none was found.
unsigned short FreePort() { return BindLoopback(SOCK_STREAM).port; }

bool Accepts(unsigned short port)
{
    const UniqueFd probe(socket(AF_INET, SOCK_STREAM, 0));
    const sockaddr_in address = Loopback(port);
    return connect(probe.Get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
}

// Until something listens on `port`, within START_LIMIT.
bool AwaitListening(unsigned short port)
{
    const auto deadline = std::chrono::steady_clock::now() + START_LIMIT;
    while (!Accepts(port)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace

BenchSink::BenchSink()
{
    if (StartPostfix())
        return;
    m_loopback = std::make_unique<LoopbackSmtpServer>();
    m_port = m_loopback->Port();
    m_name = "the host's loopback SMTP server (Postfix's smtp-sink is not installed)";
}

bool BenchSink::StartPostfix()
{
    const std::string program = FindProgram("smtp-sink");
    m_port = FreePort();
    if (program.empty() || m_port == 0)
        return false;
    std::vector<std::string> argv{program};
    if (geteuid() == 0)  // it will not serve as root
        argv.insert(argv.end(), {"-u", "nobody"});
    argv.insert(argv.end(), {Address(), "256"});
    m_postfix = std::make_unique<RunningChild>(argv);
    if (m_postfix->Started() && AwaitListening(m_port)) {
        m_name = "Postfix smtp-sink";
        return true;
    }
    m_postfix.reset();
    return false;
}
