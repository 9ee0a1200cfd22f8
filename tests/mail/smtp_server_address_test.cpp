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
        {"[2001:db8::1]:587", "2001:db8::1", 587},
        {"[2001:db8::1]", "2001:db8::1", 25},
        {"2001:db8::1", "2001:db8::1", 25},
        {"[2001:db8::1]:0", "[2001:db8::1]:0", 25},
        {"[2001:db8::1]x", "[2001:db8::1]x", 25},
    };
    for (const Row &row : rows) {
        const SmtpServerAddress server = ParseSmtpServer(row.setting);
        EXPECT_EQ(server.host, row.host) << row.setting;
        EXPECT_EQ(server.port, row.port) << row.setting;
    }
}

}  // namespace

TEST(SmtpServerAddressTest, TheDefaultPortServesOnlyASettingWithoutOne)
{
    EXPECT_EQ(ParseSmtpServer("smtp.example.org", SMTPS_PORT).port, 465);
    EXPECT_EQ(ParseSmtpServer("[2001:db8::1]", SMTPS_PORT).port, 465);
    EXPECT_EQ(ParseSmtpServer("relay:x", SMTPS_PORT).host, "relay:x");
    EXPECT_EQ(ParseSmtpServer("smtp.example.org:587", SMTPS_PORT).port, 587);
}
