#include "platform/event.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <winsock2.h>
#else
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <thread>

namespace {

// Two connected stream sockets, closed when it goes: a socket pair here, a
// loopback connection on Windows, which has no socket pairs.
struct SocketPair {
    SocketHandle ends[2] = {NO_SOCKET, NO_SOCKET};

    SocketPair();
    ~SocketPair();
    bool Write(const char *byte) { return send(ends[1], byte, 1, 0) == 1; }
};

#if defined(_WIN32)
SocketPair::SocketPair()
{
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
    listen(listener, 1);
    getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length);
    const SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connect(client, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
        ends[0] = static_cast<SocketHandle>(accept(listener, nullptr, nullptr));
        ends[1] = static_cast<SocketHandle>(client);
    }
    closesocket(listener);
}

SocketPair::~SocketPair()
{
    for (const SocketHandle end : ends)
        closesocket(static_cast<SOCKET>(end));
}
#else
SocketPair::SocketPair()
{
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0) {
        ends[0] = pair[0];
        ends[1] = pair[1];
    }
}

SocketPair::~SocketPair()
{
    for (const SocketHandle end : ends)
        close(static_cast<int>(end));
}
#endif

TEST(EventTest, StartsUnsignalledAndWaitTimesOut)
{
    CEvent event;
    EXPECT_FALSE(event.IsSignalled());
    EXPECT_FALSE(event.Lock(0));
}

TEST(EventTest, AutoResetReleasesOneWaitPerSet)
{
    CEvent event;
    event.SetEvent();
    event.SetEvent();  // setting a set event adds nothing
    EXPECT_TRUE(event.IsSignalled());
    EXPECT_TRUE(event.Lock(0));
    EXPECT_FALSE(event.Lock(0));
}

TEST(EventTest, WaitOnSeveralReturnsLowestAndResetsOnlyIt)
{
    CEvent first, second, third;
    CEvent *events[] = {&first, &second, &third};
    third.SetEvent();
    second.SetEvent();
    EXPECT_EQ(WaitForEvents(events, 3, 0), WAIT_OBJECT_0 + 1);
    EXPECT_TRUE(third.IsSignalled());
    EXPECT_EQ(WaitForEvents(events, 3, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForEvents(events, 3, 0), WAIT_TIMEOUT);
}

TEST(EventTest, WaitWakesWhenAnotherThreadSets)
{
    CEvent event;
    std::thread setter([&] { event.SetEvent(); });
    EXPECT_TRUE(event.Lock(10000));
    setter.join();
}

TEST(EventTest, WatchingSeveralReturnsTheLowestAndResetsNone)
{
    CEvent first, second;
    const CEvent *events[] = {&first, &second};
    EXPECT_EQ(WatchEvents(events, 2, 0), WAIT_TIMEOUT);
    second.SetEvent();
    EXPECT_EQ(WatchEvents(events, 2, 0), WAIT_OBJECT_0 + 1);
    first.SetEvent();
    EXPECT_EQ(WatchEvents(events, 2, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(first.IsSignalled());
    EXPECT_TRUE(second.IsSignalled());
}

TEST(EventTest, SocketWaitPrefersTheSignalledEventAndDoesNotResetIt)
{
    SocketPair pair;
    ASSERT_NE(pair.ends[0], NO_SOCKET);
    CEvent abort;
    EXPECT_EQ(WaitForSocketOrEvent(pair.ends[0], &abort, 0), SocketWait::TimedOut);
    ASSERT_TRUE(pair.Write("x"));
    EXPECT_EQ(WaitForSocketOrEvent(pair.ends[0], &abort, 10000), SocketWait::Readable);
    abort.SetEvent();
    EXPECT_EQ(WaitForSocketOrEvent(pair.ends[0], &abort, 0), SocketWait::Signalled);
    EXPECT_TRUE(abort.IsSignalled());
    EXPECT_EQ(WaitForSocketOrEvent(pair.ends[0], nullptr, 0), SocketWait::Readable);
}

// A wait that begins before the data arrives wakes for it.
TEST(EventTest, SocketWaitWakesWhenDataArrives)
{
    SocketPair pair;
    ASSERT_NE(pair.ends[0], NO_SOCKET);
    CEvent abort;
    std::thread writer([&] { pair.Write("x"); });
    EXPECT_EQ(WaitForSocketOrEvent(pair.ends[0], &abort, 10000), SocketWait::Readable);
    writer.join();
}

}  // namespace
