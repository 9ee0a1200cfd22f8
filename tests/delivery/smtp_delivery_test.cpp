// Messages handed to Send reach an SMTP server through the real library:
// the notifications the host sees and the exact bytes the server receives.
#include "host/loopback/loopback_smtp_server.h"
#include "platform/resources.h"
#include "smtp/system_sockets.h"
#include "support/plugin_api.h"
#include "support/test_host.h"
#if !defined(_WIN32)
#include "support/silent_name_server.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// "Привет" and "Ход Щуки" in Windows-1251 and in KOI8-R.
const std::string SUBJECT_1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
const std::string SUBJECT_KOI8 = "\xF0\xD2\xC9\xD7\xC5\xD4";
const std::string BODY_1251 = "\xD5\xEE\xE4 \xD9\xF3\xEA\xE8\r\n.end\r\n";
const std::string BODY_KOI8 = "\xE8\xCF\xC4 \xFD\xD5\xCB\xC9\r\n..end\r\n";

class SmtpDeliveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceLanguage(ResourceLanguage::English);
        host.Load();
    }
    void TearDown() override { host.Api().OnClose(); }

    // Opens Alpha from a stored section, as a host restores a project.
    void OpenAlpha(std::initializer_list<std::pair<const char *, const char *>> settings)
    {
        RestoreGame(host.Api(), "Alpha", MakeMap(settings));
    }

    void OpenAlphaFor(const LoopbackSmtpServer &server, const char *to = "server@example.org")
    {
        server_ = server.Address();
        OpenAlpha({{"From", "player@example.org"}, {"To", to}, {"Subject", SUBJECT_1251.c_str()},
                   {"ServerSMTP", server_.c_str()}, {"Mailer", "0"}});
    }

    void SendTurn(const std::string &body = BODY_1251)
    {
        CMapStringToString message = MakeMap({{"GameName", "Alpha"}});
        message.SetAt("Body", CString(body));
        host.Api().Send(message);
    }

    // Waits for the outcome of a delivery: the delivered record, or the
    // status word of a failure.
    bool WaitForOutcome()
    {
        return host.PumpUntil([&] {
            const auto words = host.Statuses();
            return !host.SentRecords().empty() || std::count(words.begin(), words.end(), MORV_TS_UNSENT) > 0;
        });
    }

    std::string LastText() const { return host.Texts().back(); }

    PluginLibrary library;
    TestHost host{library.Api()};
    std::string server_;
};

std::string Envelope(const Lines &recipients)
{
    std::string wire = "MAIL FROM:<player@example.org>\r\n";
    for (const std::string &recipient : recipients)
        wire += "RCPT TO:<" + recipient + ">\r\n";
    return wire + "DATA\r\n";
}

TEST_F(SmtpDeliveryTest, MessageArrivesRecodedAndTheHostHearsEveryStep)
{
    LoopbackSmtpServer server;
    OpenAlphaFor(server);
    SendTurn();
    ASSERT_TRUE(WaitForOutcome());
    ASSERT_TRUE(server.WaitForConnectionEnd(0));

    Lines transcript = host.Transcript();
    ASSERT_EQ(transcript.size(), 7u);
    EXPECT_EQ(transcript.back().rfind("sent ", 0), 0u);
    transcript.pop_back();
    EXPECT_EQ(transcript, (Lines{"text Ready", "text Alpha loaded", "text Alpha sending message", "status 0x0D",
                                 "text Alpha message sent", "status 0x00"}));
    const std::string content = "From: player@example.org\r\nTo: server@example.org\r\nSubject: " + SUBJECT_KOI8 +
                                "\r\n\r\n" + BODY_KOI8;
    const std::string received = server.Received(0);
    EXPECT_EQ(received.substr(received.find("MAIL FROM")),
              Envelope({"server@example.org"}) + content + "\r\n.\r\nQUIT\r\n");
    EXPECT_EQ(received.rfind("HELO ", 0), 0u);
}

// A game's keys beyond the lasting ones stay with that game: after a game
// that asks for STARTTLS (which the server does not offer), a plain game
// is sent with the plain dialogue, and its record shows its message's own
// keys but none of the other game's.
TEST_F(SmtpDeliveryTest, PlainGameAfterAStartTlsGameGreetsWithHeloAndGetsNoneOfItsKeys)
{
    LoopbackSmtpServer server;
    const std::string address = server.Address();
    RestoreGame(host.Api(), "Alpha",
                MakeMap({{"From", "player@example.org"}, {"To", "server@example.org"}, {"ServerSMTP", address.c_str()},
                         {"Security", "starttls"}, {"TlsCaFile", "/nowhere/ca.pem"}, {"Clan", "north"}}));
    RestoreGame(host.Api(), "Beta", MakeMap({{"From", "player@example.org"}, {"To", "server@example.org"},
                                              {"ServerSMTP", address.c_str()}}));
    for (const char *game : {"Alpha", "Beta"}) {
        CMapStringToString message = MakeMap({{"GameName", game}, {"Body", "turn"}, {"Note", game}});
        host.ClearNotifications();
        host.Api().Send(message);
        ASSERT_TRUE(WaitForOutcome());
    }
    ASSERT_TRUE(server.WaitForConnectionEnd(1));
    EXPECT_EQ(server.Received(0).rfind("EHLO ", 0), 0u);
    EXPECT_EQ(server.Received(1).rfind("HELO ", 0), 0u) << server.Received(1);
    ASSERT_EQ(host.SentRecords().size(), 1u) << LastText();
    const CMapStringToString beta = host.SentRecords()[0];
    CString value;
    for (const char *key : {"Security", "TlsCaFile", "Clan"})
        EXPECT_FALSE(beta.Lookup(key, value)) << key << " = " << value.str();
    EXPECT_TRUE(beta.Lookup("Note", value));
    EXPECT_EQ(value, "Beta");
}

std::string Repeated(const std::string &text, int times)
{
    std::string repeated;
    for (int i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

// A long body is one buffer shared by the host's map, the queue and the
// record; its recoding for the server must not reach the record.
TEST_F(SmtpDeliveryTest, DeliveredRecordKeepsTheOriginalSubjectAndBody)
{
    LoopbackSmtpServer server;
    OpenAlphaFor(server);
    SendTurn(Repeated(BODY_1251, 400));
    ASSERT_TRUE(WaitForOutcome());
    ASSERT_TRUE(server.WaitForMessages(1));
    const std::string content = server.Messages()[0];
    EXPECT_EQ(content.substr(content.find("\r\n\r\n") + 4), Repeated(BODY_KOI8, 400) + "\r\n");
    const auto records = host.SentRecords();
    ASSERT_EQ(records.size(), 1u);
    CMapStringToString record = records[0];
    EXPECT_EQ(record["Subject"].str(), SUBJECT_1251);
    EXPECT_EQ(record["Body"].str(), Repeated(BODY_1251, 400));
    EXPECT_EQ(record["ServerSMTP"].str(), server_);
    EXPECT_EQ(record["GameName"], "Alpha");
}

TEST_F(SmtpDeliveryTest, MissingFromIsNamedBeforeMissingTo)
{
    OpenAlpha({{"ServerSMTP", "127.0.0.1:1"}});
    SendTurn();
    ASSERT_TRUE(WaitForOutcome());
    EXPECT_EQ(LastText(), "Alpha ERR: FROM Field must present");
    EXPECT_EQ(host.Statuses().back(), MORV_TS_UNSENT);
}

TEST_F(SmtpDeliveryTest, UnreachableServerReportsTheConnectionFailure)
{
    const unsigned short port = BindLoopback(SOCK_STREAM).port;  // nothing listens there once it is gone
    ASSERT_NE(port, 0);

    const std::string setting = "127.0.0.1:" + std::to_string(port);
    OpenAlpha({{"From", "a@b"}, {"To", "c@d"}, {"ServerSMTP", setting.c_str()}});
    SendTurn();
    ASSERT_TRUE(WaitForOutcome());
    EXPECT_EQ(LastText(), "Alpha ERR: Could not connect to the SMTP server 127.0.0.1 on port " +
                              std::to_string(port) + ", GetLastError returns: " +
                              std::to_string(SOCKET_CONNECTION_REFUSED) + "\n");
}

TEST_F(SmtpDeliveryTest, RefusedRecipientEndsTheTransactionWithTheServersWords)
{
    LoopbackSmtpServer server(WellBehavedSmtp{{{"RCPT", "550 no such user\r\n"}}, ""});
    OpenAlphaFor(server);
    SendTurn();
    ASSERT_TRUE(WaitForOutcome());
    EXPECT_EQ(LastText(), "Alpha ERR: 550 no such user");
    EXPECT_TRUE(host.SentRecords().empty());
    ASSERT_TRUE(server.WaitForConnectionEnd(0));
    EXPECT_EQ(server.Received(0).find("DATA"), std::string::npos);
}

TEST_F(SmtpDeliveryTest, TwoRecipientsSeparatedBySemicolonShareOneToLine)
{
    LoopbackSmtpServer server;
    OpenAlphaFor(server, "Bob <bob@example.org>; ann@example.org");
    SendTurn("turn");
    ASSERT_TRUE(WaitForOutcome());
    ASSERT_TRUE(server.WaitForConnectionEnd(0));
    const std::string received = server.Received(0);
    EXPECT_NE(received.find(Envelope({"bob@example.org", "ann@example.org"})), std::string::npos);
    EXPECT_NE(received.find("\r\nTo: Bob <bob@example.org>,ann@example.org\r\n"), std::string::npos);
}

// What cannot go out as the player wrote it fails before any connection:
// a recipient list read only in part, a line break that would become a
// command or a header, a body a server cannot take.
struct RefusedTurn {
    const char *name;
    const char *from;
    const char *to;
    std::string body;
    const char *text;
};

// The test name and the CTest name show the case, not its bytes.
void PrintTo(const RefusedTurn &row, std::ostream *out) { *out << row.name; }

class RefusedTurnTest : public SmtpDeliveryTest, public ::testing::WithParamInterface<RefusedTurn> {};

TEST_P(RefusedTurnTest, FailsWithItsReasonWithoutConnecting)
{
    LoopbackSmtpServer server;
    server_ = server.Address();
    OpenAlpha({{"From", GetParam().from}, {"To", GetParam().to}, {"Subject", "s\r\nBcc: x@y"},
               {"ServerSMTP", server_.c_str()}});
    SendTurn(GetParam().body);
    ASSERT_TRUE(WaitForOutcome());
    EXPECT_EQ(LastText(), GetParam().text);
    EXPECT_EQ(server.ConnectionCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Turns, RefusedTurnTest,
    ::testing::Values(
        RefusedTurn{"PartialList", "a@b", "ann@example.org; Bob <bob@example.org", "turn",
                    "Alpha ERR: Cannot read the address list: Bob <bob@example.org"},
        RefusedTurn{"SeparatorsOnly", "a@b", ";, ;", "turn", "Alpha ERR: Cannot read the address list: ;, ;"},
        RefusedTurn{"CommandInFrom", "a@b\r\nRCPT TO:<victim@example.org>", "c@d", "turn",
                    "Alpha ERR: Invalid character (CR, LF or NUL) in mail address"},
        RefusedTurn{"NulInBody", "a@b", "c@d", std::string("turn\r\n\0.\r\n", 9),
                    "Alpha ERR: The message text holds a NUL byte, which mail cannot carry"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(SmtpDeliveryTest, CancelDuringALongDeliveryReportsNoOutcomeThenAbort)
{
    LoopbackSmtpServer server(WellBehavedSmtp{{}, "DATA"});
    OpenAlphaFor(server);
    SendTurn();
    // The host keeps pumping: the sender's notifications wait for it.
    ASSERT_TRUE(host.PumpUntil([&] { return server.WaitUntilHeld(0); }));
    host.Api().Cancel();
    ASSERT_TRUE(host.WaitForText("Abort by user"));
    const Lines texts = host.Texts();
    EXPECT_EQ(texts, (Lines{"Ready", "Alpha loaded", "Alpha sending message", "Abort by user"}));
    EXPECT_EQ(host.Statuses().back() & MORV_TS_SENDING, MORV_TS_SENDING);
}

// The system's resolver on Windows cannot be pointed at a name server that
// never answers.
#if !defined(_WIN32)
TEST_F(SmtpDeliveryTest, CancelEndsALookUpThatNeverAnswers)
{
    SilentNameServer names;
    OpenAlpha({{"From", "a@b"}, {"To", "c@d"}, {"ServerSMTP", "turns.example"}});
    SendTurn();
    ASSERT_TRUE(host.PumpUntil([&] { return names.WaitForQuery(0); }));
    host.Api().Cancel();
    ASSERT_TRUE(host.WaitForText("Abort by user"));
    EXPECT_EQ(host.Texts(), (Lines{"Ready", "Alpha loaded", "Alpha sending message", "Abort by user"}));
}

// OnClose stops a sender in the middle of a look-up that never answers, so
// nothing has to keep the library mapped once the host unloads it.
TEST(LookUpHangTest, HostThatUnloadsThePluginDuringALookUpLeavesNothingRunning)
{
    SilentNameServer names;
    std::optional<PluginLibrary> library(std::in_place);
    {
        TestHost host(library->Api());
        host.Load();
        RestoreGame(host.Api(), "Alpha", MakeMap({{"From", "a@b"}, {"To", "c@d"}, {"ServerSMTP", "turns.example"}}));
        CMapStringToString message = MakeMap({{"GameName", "Alpha"}, {"Body", "turn"}});
        host.Api().Send(message);
        ASSERT_TRUE(host.PumpUntil([&] { return names.WaitForQuery(0); }));
        host.Api().OnClose();
    }
    library.reset();
    EXPECT_FALSE(IsPluginMapped());
}
#endif

TEST_F(SmtpDeliveryTest, HugeBodyFullOfDotLinesArrivesWhole)
{
    LoopbackSmtpServer server;
    OpenAlphaFor(server);
    std::string body;
    while (body.size() < 2 * 1024 * 1024)
        body += ".line\r\n";
    SendTurn(body);
    ASSERT_TRUE(WaitForOutcome());
    EXPECT_EQ(LastText(), "Alpha message sent");
    ASSERT_TRUE(server.WaitForMessages(1));
    const std::string content = server.Messages()[0];
    const std::string header = "Subject: " + SUBJECT_KOI8 + "\r\n\r\n";
    const std::string received = content.substr(content.find(header) + header.size());
    EXPECT_EQ(received.size(), body.size() + body.size() / 7 + 2);  // + the CRLF before the dot line
    EXPECT_EQ(received.compare(0, 14, "..line\r\n..line"), 0);
}

}  // namespace
