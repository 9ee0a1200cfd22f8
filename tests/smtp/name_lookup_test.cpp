#include "platform/last_error.h"
#include "smtp/name_lookup.h"
#if !defined(_WIN32)
#include "support/silent_name_server.h"
#endif

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(NameLookupTest, NameOfTheHostsFileResolves)
{
    SocketAddresses addresses;
    EXPECT_EQ(LookUpName("localhost", 25, nullptr, 10000, addresses), 0u);
    EXPECT_FALSE(addresses.empty());
}

// A name server that never answers cannot hold a delivery: the abort ends
// the look-up, and so does the bound.
TEST(NameLookupTest, LookUpThatNeverAnswersEndsOnAbortOrBound)
{
#if defined(_WIN32)
    GTEST_SKIP() << "the system's resolver on Windows cannot be pointed at a name server that never answers";
#else
    SilentNameServer server;
    CEvent abort;
    DWORD outcome = 0;
    SocketAddresses addresses;
    std::thread lookup([&] { outcome = LookUpName("turns.example", 25, &abort, 60000, addresses); });
    ASSERT_TRUE(server.WaitForQuery());
    abort.SetEvent();
    lookup.join();
    EXPECT_EQ(outcome, WSAEINTR);
    EXPECT_TRUE(addresses.empty());
    EXPECT_EQ(LookUpName("turns.example", 25, nullptr, 100, addresses), WSAETIMEDOUT);
#endif
}

}  // namespace
