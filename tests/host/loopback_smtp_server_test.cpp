// The loopback SMTP server's well-behaved dialogue, spoken to by a plain
// socket client: the mails it keeps, its replies, its stall and its stop.
#include "host/loopback/loopback_smtp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

constexpr int WAIT_MS = 10000;

// A blocking client that reads whole reply lines.
class Client {
public:
    explicit Client(int port) : m_fd(socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~Client() { close(m_fd); }

    bool Connected() const { return m_connected; }
    void Write(const std::string &text) { ASSERT_EQ(send(m_fd, text.data(), text.size(), MSG_NOSIGNAL), static_cast<ssize_t>(text.size())); }
    // The next line without CRLF; empty at the end of the stream.
    std::string Line()
    {
        for (;;) {
            const std::size_t end = m_input.find("\r\n");
            if (end != std::string::npos) {
                std::string line = m_input.substr(0, end);
                m_input.erase(0, end + 2);
                return line;
            }
            pollfd fd{m_fd, POLLIN, 0};
            char buffer[1024];
            if (poll(&fd, 1, WAIT_MS) <= 0)
                return "";
            const ssize_t got = recv(m_fd, buffer, sizeof buffer, 0);
            if (got <= 0)
                return "";
            m_input.append(buffer, static_cast<std::size_t>(got));
        }
    }
    // The last line of a reply, skipping "NNN-" lines.
    std::string Reply()
    {
        std::string line = Line();
        while (line.size() > 3 && line[3] == '-')
            line = Line();
        return line;
    }
    std::string Exchange(const std::string &command)
    {
        Write(command);
        return Reply();
    }

private:
    int m_fd;
    bool m_connected = false;
    std::string m_input;
};

TEST(LoopbackSmtpServer, KeepsTheEnvelopeAndTheDataAsSent)
{
    LoopbackSmtpServer sink;
    Client client(sink.Port());
    ASSERT_TRUE(client.Connected());
    EXPECT_EQ(client.Reply().substr(0, 4), "220 ");
    EXPECT_EQ(client.Exchange("HELO me\r\n").substr(0, 3), "250");
    EXPECT_EQ(client.Exchange("MAIL FROM:<a@x>\r\n").substr(0, 3), "250");
    EXPECT_EQ(client.Exchange("RCPT TO:<b@y>\r\n").substr(0, 3), "250");
    EXPECT_EQ(client.Exchange("RCPT TO:<c@z>\r\n").substr(0, 3), "250");
    EXPECT_EQ(client.Exchange("DATA\r\n").substr(0, 3), "354");
    client.Write("Subject: s\r\n\r\n..dot\r\n");
    client.Write("bare\nlf\r\n.\r\n");
    EXPECT_EQ(client.Reply().substr(0, 3), "250");
    EXPECT_EQ(client.Exchange("QUIT\r\n").substr(0, 3), "221");

    ASSERT_TRUE(sink.WaitForMessages(1));
    const ReceivedMail message = sink.Mails().front();
    EXPECT_EQ(message.mailFrom, "a@x");
    EXPECT_EQ(message.recipients, (std::vector<std::string>{"b@y", "c@z"}));
    EXPECT_EQ(message.data, "Subject: s\r\n\r\n..dot\r\nbare\nlf\r\n");
    EXPECT_EQ(message.Content(), "Subject: s\r\n\r\n.dot\r\nbare\nlf\r\n");
    EXPECT_EQ(message.Header(), "Subject: s\r\n");
    EXPECT_EQ(message.Body(), ".dot\r\nbare\nlf\r\n");
}

TEST(LoopbackSmtpServer, EmptyContentAndSeveralTransactionsOnOneConnection)
{
    LoopbackSmtpServer sink;
    Client client(sink.Port());
    client.Reply();
    for (const char *recipient : {"one@x", "two@x"}) {
        client.Exchange("MAIL FROM:<a@x>\r\n");
        client.Exchange(std::string("RCPT TO:<") + recipient + ">\r\n");
        client.Exchange("DATA\r\n");
        EXPECT_EQ(client.Exchange(".\r\n").substr(0, 3), "250");
    }
    ASSERT_TRUE(sink.WaitForMessages(2));
    EXPECT_EQ(sink.Mails()[0].data, "");
    EXPECT_EQ(sink.Mails()[1].recipients.front(), "two@x");
    EXPECT_EQ(client.Exchange("VRFY x\r\n").substr(0, 3), "500");
}

TEST(LoopbackSmtpServer, StalledGreetingKeepsTheClientWaitingUntilItLeaves)
{
    LoopbackSmtpServer sink(WellBehavedSmtp{.stallLines = 600, .stallMs = 5});
    {
        Client client(sink.Port());
        EXPECT_EQ(client.Line(), "220-scripted.test is busy");
        EXPECT_EQ(client.Line(), "220-scripted.test is busy");
    }
    // A client that gave up does not keep the next one from being served.
    Client second(sink.Port());
    EXPECT_EQ(second.Line(), "220-scripted.test is busy");
    EXPECT_EQ(sink.ConnectionCount(), 2u);
}

TEST(LoopbackSmtpServer, StopsPromptlyWhileAClientIsConnected)
{
    auto sink = std::make_unique<LoopbackSmtpServer>(WellBehavedSmtp{.stallLines = 600});
    Client client(sink->Port());
    ASSERT_TRUE(sink->WaitForConnections(1));
    const auto start = std::chrono::steady_clock::now();
    sink.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
