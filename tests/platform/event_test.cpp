#include "platform/event.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace {

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

TEST(EventTest, SocketWaitPrefersTheSignalledEventAndDoesNotResetIt)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    CEvent abort;
    EXPECT_EQ(WaitForSocketOrEvent(pair[0], &abort, 0), SocketWait::TimedOut);
    ASSERT_EQ(write(pair[1], "x", 1), 1);
    EXPECT_EQ(WaitForSocketOrEvent(pair[0], &abort, 0), SocketWait::Readable);
    abort.SetEvent();
    EXPECT_EQ(WaitForSocketOrEvent(pair[0], &abort, 0), SocketWait::Signalled);
    EXPECT_TRUE(abort.IsSignalled());
    EXPECT_EQ(WaitForSocketOrEvent(pair[0], nullptr, 0), SocketWait::Readable);
    close(pair[0]);
    close(pair[1]);
}

}  // namespace
