#include "smtp/ehlo_reply.h"
#include "smtp/sasl_encoding.h"

#include <gtest/gtest.h>

namespace {

TEST(EhloReplyTest, OffersAreReadFromTheKeywordLinesOnly)
{
    struct Row {
        const char *reply;
        bool startTls;
        AuthMechanism mechanism;
    };
    const Row rows[] = {
        {"250-mx.example\r\n250-STARTTLS\r\n250 AUTH LOGIN PLAIN\r\n", true, AuthMechanism::Plain},
        {"250-mx.example\r\n250-auth login\r\n250 starttls\r\n", true, AuthMechanism::Login},
        {"250-mx.example\r\n250-AUTH=LOGIN\r\n250 8BITMIME\r\n", false, AuthMechanism::Login},
        {"250-mx.example\r\n250-AUTH CRAM-MD5 XOAUTH2\r\n250 SIZE 100\r\n", false, AuthMechanism::None},
        {"250-mx.example\r\n250 AUTH PLAINLY LOGINS\r\n", false, AuthMechanism::None},
        {"250-mx.example\r\n250 X-STARTTLS\r\n", false, AuthMechanism::None},
        // The first line names the server, whatever it says.
        {"250 STARTTLS AUTH PLAIN\r\n", false, AuthMechanism::None},
        {"250-mx.example\r\n250-SIZE\r\n250 STARTTLS", true, AuthMechanism::None},
        {"", false, AuthMechanism::None},
    };
    for (const Row &row : rows) {
        const EhloOffers offers = ParseEhloReply(row.reply);
        EXPECT_EQ(offers.startTls, row.startTls) << row.reply;
        EXPECT_EQ(ChooseAuthMechanism(offers), row.mechanism) << row.reply;
    }
}

TEST(EhloReplyTest, MailFromDeclaresOnlyWhatTheServerOffers)
{
    const std::pair<const char *, const char *> rows[] = {
        {"250-mx.example\r\n250-SIZE 35882577\r\n250 8BITMIME\r\n", " SIZE=1234 BODY=8BITMIME"},
        {"250-mx.example\r\n250 size\r\n", " SIZE=1234"},
        {"250-mx.example\r\n250 8BITMIME\r\n", " BODY=8BITMIME"},
        {"250 SIZE 8BITMIME\r\n", ""},
    };
    for (const auto &[reply, parameters] : rows)
        EXPECT_EQ(MailFromParameters(ParseEhloReply(reply), 1234), parameters) << reply;
}

TEST(SaslEncodingTest, Base64AndThePlainResponseFollowTheirRfcs)
{
    // RFC 4648 section 10, and RFC 4616's example without an authorisation identity.
    const std::pair<const char *, const char *> vectors[] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
                                                             {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
                                                             {"foobar", "Zm9vYmFy"}};
    for (const auto &[bytes, encoded] : vectors)
        EXPECT_EQ(Base64(bytes), encoded) << bytes;
    EXPECT_EQ(PlainCredentials("tim", "tanstaaftanstaaf"), "AHRpbQB0YW5zdGFhZnRhbnN0YWFm");
}

}  // namespace
