#include "fake_socket_calls.h"
#include "platform/last_error.h"
#include "smtp/client_socket.h"
#include "host/loopback/loopback_socket.h"
#include "host/loopback/loopback_smtp_server.h"
#include "smtp/system_sockets.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

class SocketSendTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(socket.Create()); }

    int Send(std::string_view data) { return socket.Send(std::span(&data, 1)); }

    FakeSocketCalls fake;
    FakeSocketState &state = fake.State();
    CClientSocket socket;
};

TEST_F(SocketSendTest, WritesEveryByteThroughShortWritesInterruptionsAndFullBuffers)
{
    state.sendPlan = {3, -SOCKET_INTERRUPTED, 1, -SOCKET_WOULD_BLOCK, 0, 4, -SOCKET_WOULD_BLOCK};
    const std::string data = "MAIL FROM:<someone@example.org>\r\n";
    ASSERT_EQ(Send(data), 1);
    EXPECT_EQ(state.written, data);
    EXPECT_EQ(state.waitCalls, 3);
}

TEST_F(SocketSendTest, FailureStopsWithTheSystemError)
{
    state.sendPlan = {2, -SOCKET_CONNECTION_RESET};
    EXPECT_EQ(Send("QUIT\r\n"), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(SOCKET_CONNECTION_RESET));
    EXPECT_EQ(state.written, "QU");
}

TEST_F(SocketSendTest, WaitForRoomEndsOnTimeOutOrAbort)
{
    state.sendPlan = {1, -SOCKET_WOULD_BLOCK, -SOCKET_WOULD_BLOCK};
    state.waitResult = SocketWait::TimedOut;
    EXPECT_EQ(Send("DATA\r\n"), 0);
    EXPECT_EQ(GetLastError(), WSAETIMEDOUT);
    CEvent abort;
    abort.SetEvent();
    socket.SetAbortEvent(&abort);
    EXPECT_EQ(Send("DATA\r\n"), 0);
    EXPECT_EQ(GetLastError(), WSAEINTR);
    EXPECT_TRUE(abort.IsSignalled());
}

struct ConnectCase {
    const char *name;
    SocketWait wait;
    int connectError;
    int result;
    DWORD lastError;
};

// The test name and the CTest name show the case, not its bytes.
void PrintTo(const ConnectCase &row, std::ostream *out) { *out << row.name; }

class SocketConnectTest : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(SocketConnectTest, ConnectInProgressEndsAsTheWaitSays)
{
    const ConnectCase &row = GetParam();
    FakeSocketCalls fake;
    fake.State().waitResult = row.wait;
    fake.State().connectError = row.connectError;
    CClientSocket socket;
    ASSERT_TRUE(socket.Create());
    SetLastError(0);
    EXPECT_EQ(socket.Connect("192.0.2.1", 25), row.result);
    EXPECT_EQ(GetLastError(), row.lastError);
    EXPECT_EQ(fake.State().resolveCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, SocketConnectTest,
    ::testing::Values(ConnectCase{"Connected", SocketWait::Readable, 0, 1, 0},
                      ConnectCase{"Refused", SocketWait::Readable, SOCKET_CONNECTION_REFUSED, 0, SOCKET_CONNECTION_REFUSED},
                      ConnectCase{"TimedOut", SocketWait::TimedOut, 0, 0, WSAETIMEDOUT},
                      ConnectCase{"Aborted", SocketWait::Signalled, 0, 0, WSAEINTR}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(SocketResolveTest, NamesAreLookedUpAndAnUnknownNameIsNeverConnected)
{
    FakeSocketCalls fake;
    CClientSocket socket;
    ASSERT_TRUE(socket.Create());
    EXPECT_EQ(socket.Connect("255.255.255.255", 25), 0);
    EXPECT_EQ(socket.Connect("mail.example", 25), 0);
    EXPECT_EQ(GetLastError(), WSAEINVAL);
    EXPECT_EQ(fake.State().resolveCalls, 2);
    EXPECT_EQ(fake.State().connectCalls, 0);
}

// A loopback port that nothing listens on: connections to it are refused.
unsigned short ClosedPort() { return BindLoopback(SOCK_STREAM).port; }

SocketAddress Loopback(unsigned short port)
{
    SocketAddress address;
    EXPECT_TRUE(ParseAddressLiteral("127.0.0.1", port, address));
    return address;
}

TEST(SocketResolveTest, EveryAddressOfANameIsTriedInTurnUntilOneConnects)
{
    LoopbackSmtpServer server;
    FakeSocketCalls fake(true);
    fake.State().resolved = {Loopback(ClosedPort()), Loopback(server.Port())};
    CClientSocket socket;
    ASSERT_TRUE(socket.Create());
    EXPECT_EQ(socket.Connect("mail.example", 25), 1) << GetLastError();
    EXPECT_EQ(fake.State().connectCalls, 2);
    fake.State().resolved = {Loopback(ClosedPort())};
    EXPECT_EQ(socket.Connect("mail.example", 25), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(SOCKET_CONNECTION_REFUSED));
}

// A first address that never answers (a broken IPv6 route) gets its share
// of the bound, not all of it, so the next one is still tried.
TEST(SocketResolveTest, AddressThatNeverAnswersLeavesTheNextItsShareOfTheBound)
{
    FakeSocketCalls fake;
    fake.State().resolved = {Loopback(1), Loopback(2)};
    fake.State().waitPlan = {SocketWait::TimedOut, SocketWait::Readable};
    CClientSocket socket;
    socket.m_connectTimeout = 10000;
    ASSERT_TRUE(socket.Create());
    EXPECT_EQ(socket.Connect("mail.example", 25), 1);
    ASSERT_EQ(fake.State().waitTimeouts.size(), 2u);
    EXPECT_LE(fake.State().waitTimeouts[0], 5000u);
    EXPECT_GT(fake.State().waitTimeouts[1], 5000u);
}

}  // namespace
