#include "mail/smtp_server_address.h"

#include <gtest/gtest.h>

namespace {

TEST(SmtpServerAddressTest, OnlyADecimalPortInRangeSplitsTheSetting)
{
    struct Row {
        const char *setting;
        const char *host;
        int port;
    };
    const Row rows[] = {
        {"mail.example.org", "mail.example.org", 25},
        {"127.0.0.1:2525", "127.0.0.1", 2525},
        {"relay:1", "relay", 1},
        {"relay:65535", "relay", 65535},
        {"relay:65536", "relay:65536", 25},
        {"relay:0", "relay:0", 25},
        {"relay:", "relay:", 25},
        {"relay:25x", "relay:25x", 25},
        {"relay:-25", "relay:-25", 25},
        {"relay:+25", "relay:+25", 25},
        {"relay: 25", "relay: 25", 25},
        {"", "", 25},
        {":2525", "", 2525},
    };
    for (const Row &row : rows) {
        const SmtpServerAddress server = ParseSmtpServer(row.setting);
        EXPECT_EQ(server.host, row.host) << row.setting;
        EXPECT_EQ(server.port, row.port) << row.setting;
    }
}

}  // namespace
