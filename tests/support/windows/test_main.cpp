// The main of every test program on Windows: Winsock is the host's to start
// and to end, so the test program does it, as a host would.
#include "platform/win_types.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 1;
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    WSACleanup();
    return result;
}
