// A server check ("QuitBeforeMail" = "1"): the SMTP mailer goes as far as
// the login and QUITs before MAIL FROM; the message fails with the check's
// own text, and no other mailer sends it.
#include "mail/mailer_calls.h"
#include "mail/server_check.h"
#include "mail/smtp_delivery.h"
#include "settings/game_settings.h"
#include "host/loopback/loopback_smtp_server.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

CMessageRecord CheckOf(const LoopbackSmtpServer &server)
{
    CMessageRecord record;
    for (const auto &[key, value] : {std::pair<const char *, std::string>{KEY_GAME_NAME, "Alpha"},
                                     {KEY_FROM, "player@example.org"}, {KEY_TO, "server@example.org"},
                                     {KEY_BODY, "check"}, {KEY_SERVER_SMTP, server.Address()},
                                     {"QuitBeforeMail", "1"}})
        record.SetAt(key, value.c_str());
    return record;
}

// The verbs of the commands a client sent: "HELO QUIT ".
std::string Verbs(const std::string &dialogue)
{
    std::istringstream lines(dialogue);
    std::string verbs;
    for (std::string line; std::getline(lines, line);)
        verbs += line.substr(0, line.find_first_of(" \r")) + " ";
    return verbs;
}

struct CheckCase {
    const char *name;
    WellBehavedSmtp server;
    const char *error;       // m_error afterwards
    const char *dialogue;    // the commands the server received, in order
};

void PrintTo(const CheckCase &row, std::ostream *out) { *out << row.name; }

class ServerCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ServerCheckTest, QuitsBeforeMailAndNeverReportsASentMessage)
{
    const CheckCase &row = GetParam();
    LoopbackSmtpServer server(row.server);
    CMessageRecord record = CheckOf(server);
    EXPECT_FALSE(DeliverRecordBySmtp(record));
    EXPECT_EQ(record.GetError(), row.error);
    ASSERT_TRUE(server.WaitForConnectionEnd(0));
    EXPECT_EQ(Verbs(server.Received(0)), row.dialogue);
    EXPECT_TRUE(server.Mails().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ServerCheckTest,
    ::testing::Values(
        CheckCase{"Passed", {}, "Alpha server check passed: QUIT before MAIL FROM, nothing was sent", "HELO QUIT "},
        CheckCase{"GreetingRefused", {.replies = {{"GREETING", "554 no service here\r\n"}}},
                  "Alpha ERR: An unexpected SMTP login response was received\n", "QUIT "},
        CheckCase{"QuitRefused", {.replies = {{"QUIT", "500 what\r\n"}}}, "Alpha ERR: 500 what", "HELO QUIT "}),
    [](const auto &row) { return std::string(row.param.name); });

int g_mailersRun = 0;

BOOL CountRun(CMessageRecord &)
{
    ++g_mailersRun;
    return TRUE;
}

TEST(ServerCheckMailerTest, OtherMailersRefuseACheckRatherThanSendIt)
{
    constexpr MailerCalls COUNTING{CountRun, CountRun};
    UseMailerCalls(&COUNTING);
    for (const char *mailer : {"1", "2"}) {
        CMessageRecord record;
        record.SetAt(KEY_GAME_NAME, "Alpha");
        record.SetAt(KEY_MAILER, mailer);
        record.SetAt("QuitBeforeMail", "1");
        EXPECT_FALSE(record.Deliver()) << mailer;
        EXPECT_EQ(record.GetError(), "Alpha ERR: QuitBeforeMail checks an SMTP server, and this game's Mailer is not "
                                     "SMTP; nothing was sent");
    }
    UseMailerCalls(nullptr);
    EXPECT_EQ(g_mailersRun, 0);
}

}  // namespace
