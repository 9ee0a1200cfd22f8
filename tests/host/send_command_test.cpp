// morv-host send: what it refuses before anything is sent, deliveries to
// the host's loopback SMTP server, outcomes and signals.
#include "host_cli_fixture.h"
#include "tmux_terminal.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>

namespace {

namespace fs = std::filesystem;

constexpr const char *REFUSAL = "550 5.1.1 No such mailbox here";

class SendCommandTest : public HostCliTest {};

TEST_F(SendCommandTest, NeedsAnExistingProjectFile)
{
    fs::remove(project);
    const HostRun run = Send("G", {"-"}, "body");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("does not exist"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(project));
}

TEST_F(SendCommandTest, RefusesProjectFilesThatAreNotOursAndLeavesThemAlone)
{
    ExpectProjectsNotOursRefused({"send", "G", "-"});
}

TEST_F(SendCommandTest, RefusesAProjectThatIsNoRegularFileOrTooLargeUnread)
{
    ExpectProjectsNoRegularFileRefusedUnread({"send", "G", "-"});
}

// Each refusal comes before the plug-in is loaded, so nothing is sent.
TEST_F(SendCommandTest, RefusesWhatItCannotSendAsMeant)
{
    WriteFile(project, ProjectWith({{"G", {{"Subject", "Ход"}}}, {"H", {}}}));
    fs::create_directory(folder / "turns");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"Nowhere", "-"}, "holds no game \"Nowhere\" (it holds \"G\", \"H\")"},
        {{"G", "--set", "Subject=Turn 14", "-"}, "has Subject = \"Ход\" in its settings"},
        {{"G", "--set", "Subject=Turn 14", "-"}, "morv-host config G --unset Subject"},
        {{"G", "--set", "GameName=H", "-"}, "has GameName = \"G\""},
        {{"G", "--set", "Body=text", Body("t.txt", "turn")}, "--set Body= cannot go with files"},
        {{"G", (folder / "turns").string()}, "is a folder"},
        {{"G", Body("emoji.txt", "ход 😀")}, "cannot be sent in Windows-1251"},
        {{"G", Body("cp1251.txt", "\xD5\xEE\xE4")}, "is not utf-8 text (byte 0); if it is Windows-1251"},
        {{"G", Body("ok.txt", "turn"), (folder / "missing.txt").string()}, "cannot read"},
    };
    for (const auto &[extra, problem] : cases) {
        const HostRun run = Send(extra[0], std::vector<std::string>(extra.begin() + 1, extra.end()), "turn");
        EXPECT_EQ(run.exitCode, 2) << problem;
        EXPECT_NE(run.err.find(problem), std::string::npos) << problem << " -> " << run.err;
        EXPECT_EQ(run.out, "") << problem;
    }
}

// A file that cannot be sent stops the batch before anything goes out: a
// second run, the file put right, would send the files before it twice.
TEST_F(SendCommandTest, ChecksEveryFileBeforeAnyIsSent)
{
    LoopbackSmtpServer sink;
    UseSink(sink);
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"", "empty.txt is empty"},
        {" \r\n\t\r\n", "empty.txt is empty"},
        {"\xFF\xFET\0u\0r\0n\0"s, "is UTF-16 text; convert it to UTF-8 first: iconv -f UTF-16 -t UTF-8 "},
        {"\0T\0u\0r\0n\0 \x04\x10"s, "is UTF-16BE text"},
        {"T\0\0\0\x10\x04\0\0"s, "is UTF-32LE text"},
        {"\0\0\xFE\xFF\0\0\0T"s, "is UTF-32 text"},
        {"\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s, "is not a text file: it holds NUL bytes, the first at byte 8"},
    };
    const std::string good = Body("turn12.txt", "turn 12");
    for (const auto &[bytes, problem] : cases) {
        const HostRun run = Send("G", {good, Body("empty.txt", bytes)});
        EXPECT_EQ(run.exitCode, 2) << problem;
        EXPECT_NE(run.err.find(problem), std::string::npos) << problem << " -> " << run.err;
        EXPECT_EQ(run.out, "") << problem;
    }
    const HostRun run = Send("G", {Body("a.txt", ""), good, Body("b.txt", std::string("\0", 1))});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("a.txt is empty"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("b.txt is not a text file"), std::string::npos) << run.err;
    EXPECT_TRUE(run.err.ends_with("morv-host: nothing was sent: 2 of 3 files cannot be sent\n")) << run.err;
    EXPECT_EQ(sink.ConnectionCount(), 0u);
}

TEST_F(SendCommandTest, RefusesAFileItMayNotRead)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    WriteFile(project, ProjectWith({{"G", {}}}));
    const std::string locked = Body("locked.txt", "turn");
    fs::permissions(locked, fs::perms::none);
    const HostRun run = Send("G", {locked});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("Permission denied"), std::string::npos) << run.err;
}

TEST_F(SendCommandTest, FailedSendExitsOneWithTheErrorText)
{
    WriteFile(project, ProjectWith({{"G", {{"Mailer", "2"}}}}));
    const HostRun run = Send("G", {"-"}, "body");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Has(run.out, "text\tG sending message")) << run.out;
    EXPECT_TRUE(Has(run.out, "text\tG No FILE mailer found")) << run.out;
    EXPECT_TRUE(Has(run.out, "status\t0x04")) << run.out;
}

TEST_F(SendCommandTest, SuccessfulSendReportsTheRecordAndTheServerGetsKoi8)
{
    LoopbackSmtpServer sink;
    UseSink(sink, "Alpha");
    const HostRun run = Send("Alpha", {"--set", "Subject=Ход", Body("turn.txt", "Привет")});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string expectedLines = "text\tAlpha sending message\nstatus\t0x0d\ntext\tAlpha message sent\nstatus\t0x00\n";
    EXPECT_NE(run.out.find(expectedLines), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("sent\t{\"Body\":\"Привет\",\"From\":\"me@x\",\"GameName\":\"Alpha\""), std::string::npos)
        << run.out;
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_NE(sink.Mails()[0].Header().find("Subject: \xE8\xCF\xC4\r\n"), std::string::npos);  // "Ход" in KOI8-R
}

TEST_F(SendCommandTest, UsesTheSettingsConfigSaved)
{
    LoopbackSmtpServer sink;
    fs::remove(project);
    const HostRun config = RunHostProgram(
        Args({"config", "Alpha", "ServerSMTP=" + sink.Address(), "From=me@x", "To=them@y", "Subject=Ход"}));
    ASSERT_EQ(config.exitCode, 0) << config.out << config.err;
    const HostRun send = Send("Alpha", {"-"}, "turn");
    EXPECT_EQ(send.exitCode, 0) << send.out << send.err;
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Mails()[0].recipients, std::vector<std::string>{"them@y"});
}

// The queue hands out the newest message first: only a host that keeps
// the order delivers the files as given.
TEST_F(SendCommandTest, SeveralFilesAreDeliveredInTheOrderGivenEachNamingItsFile)
{
    LoopbackSmtpServer sink;
    UseSink(sink);
    const std::vector<std::string> files{Body("1.txt", "first"), Body("2.txt", "second"), "-", Body("4.txt", "fourth")};
    const HostRun run = Send("G", files, "third");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    std::vector<std::string> bodies;
    for (const ReceivedMail &mail : sink.Mails())
        bodies.push_back(mail.Body());
    EXPECT_EQ(bodies, (std::vector<std::string>{"first\r\n", "second\r\n", "third\r\n", "fourth\r\n"}));
    for (const std::string &file : files)
        EXPECT_TRUE(Has(run.out, "file\t" + file + "\ntext\tG sending message")) << file << " in " << run.out;
    EXPECT_EQ(Count(run.out, "\nsent\t{"), 4u) << run.out;
}

TEST_F(SendCommandTest, HumanOutcomeNamesItsFileOrStandardInput)
{
    LoopbackSmtpServer sink;
    UseSink(sink);
    const std::string file = Body("1.txt", "first");
    const HostRun human = RunHostProgram(Args({"send", "G", file, "-"}, false), "third");
    EXPECT_TRUE(Has(human.out, file + ": G message sent")) << human.out;
    EXPECT_TRUE(Has(human.out, "<stdin>: G message sent")) << human.out;
}

TEST_F(SendCommandTest, BodiesInOtherEncodingsAndWithAByteOrderMarkArriveAsText)
{
    LoopbackSmtpServer sink;
    UseSink(sink);
    const std::pair<std::string, std::string> cases[] = {
        {"utf-8", "\xEF\xBB\xBFХод"}, {"windows-1251", "\xD5\xEE\xE4"}, {"koi8-r", "\xE8\xCF\xC4"}};
    for (const auto &[encoding, bytes] : cases) {
        const HostRun run = Send("G", {"--encoding", encoding, Body("turn.txt", bytes)});
        EXPECT_EQ(run.exitCode, 0) << encoding << run.err;
        EXPECT_NE(run.out.find("sent\t{\"Body\":\"Ход\""), std::string::npos) << encoding << run.out;
    }
    ASSERT_EQ(sink.Mails().size(), 3u);
    for (const ReceivedMail &mail : sink.Mails())
        EXPECT_EQ(mail.Body(), "\xE8\xCF\xC4\r\n");  // KOI8-R, the mark gone
}

TEST_F(SendCommandTest, RefusedRecipientFailsWithTheServersWords)
{
    LoopbackSmtpServer refusing(WellBehavedSmtp{.replies = {{"RCPT", std::string(REFUSAL) + "\r\n"}}});
    UseSink(refusing);
    const HostRun run = Send("G", {"-"}, "body");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find(std::string("text\tG ERR: ") + REFUSAL), std::string::npos) << run.out;
    EXPECT_TRUE(Has(run.out, "status\t0x04")) << run.out;
    EXPECT_EQ(run.out.find("\nsent\t"), std::string::npos) << run.out;
}

SmtpScript Greeted()
{
    return SmtpScript().Reply("220 ready\r\n").ExpectLine().Reply("250 hello\r\n").ExpectLine();
}

// A batch stops at its first failure: turn 14 must not go without turn 13.
// What was sent and what was not ends the output, for a rerun; a player
// also learns what the server's reply means.
TEST_F(SendCommandTest, ABatchStopsAtItsFirstFailureAndNamesWhatWasNotSent)
{
    const SmtpScript accepting = Greeted()
                                     .Reply("250 sender\r\n").ExpectLine().Reply("250 recipient\r\n").ExpectLine()
                                     .Reply("354 go\r\n").ReadData().Reply("250 queued\r\n").ExpectLine()
                                     .Reply("221 bye\r\n");
    const SmtpScript refusing =
        Greeted().Reply("530 5.7.0 Must issue a STARTTLS command first\r\n").ExpectLine().Reply("221 bye\r\n");
    LoopbackSmtpServer server({accepting, refusing, accepting, refusing});
    UseSink(server);
    const std::vector<std::string> files{Body("12.txt", "twelve"), Body("13.txt", "thirteen"), Body("14.txt", "14")};
    std::vector<std::string> human{"send", "G"}, porcelain{"send", "G"};
    human.insert(human.end(), files.begin(), files.end());
    porcelain.insert(porcelain.end(), files.begin(), files.end());
    const HostRun humanRun = RunHostProgram(Args(human, false));
    EXPECT_EQ(humanRun.exitCode, 1);
    EXPECT_TRUE(Has(humanRun.out, "hint: the server asks for STARTTLS: morv-host config G Security=starttls"))
        << humanRun.out;
    EXPECT_TRUE(humanRun.out.ends_with("Files sent: " + files[0] + "\nFiles not sent: " + files[1] + " (failed), " +
                                       files[2] + "\n"))
        << humanRun.out;
    const HostRun porcelainRun = RunHostProgram(Args(porcelain));
    EXPECT_EQ(porcelainRun.exitCode, 1);
    EXPECT_TRUE(porcelainRun.out.ends_with("outcome\t" + files[0] + "\tsent\noutcome\t" + files[1] +
                                           "\tfailed\noutcome\t" + files[2] + "\tnot-sent\n"))
        << porcelainRun.out;
    EXPECT_EQ(porcelainRun.out.find("hint:"), std::string::npos);
    EXPECT_EQ(server.ConnectionCount(), 4u) << "the file after the failure was sent";
}

// A server's words could hold a terminal's escape sequences (colours, a
// new window title, a cleared screen).
TEST_F(SendCommandTest, ControlCharactersFromTheServerNeverReachTheTerminalRaw)
{
    LoopbackSmtpServer hostile(WellBehavedSmtp{.replies = {{"RCPT", "550 \x1b]0;owned\x07\x1b[2J no\r\n"}}});
    UseSink(hostile);
    for (const bool porcelain : {false, true}) {
        const HostRun run = RunHostProgram(Args({"send", "G", "-"}, porcelain), "body");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.out.find("550 \\x1b]0;owned\\x07\\x1b[2J no"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find_first_of("\x1b\x07"), std::string::npos) << run.out;
    }
}

TEST_F(SendCommandTest, UnreachableServerFailsWithTheConnectTextSpelledOut)
{
    int port = 0;
    {
        const LoopbackSmtpServer closed;
        port = closed.Port();
    }
    WriteFile(project, ProjectWith({{"G", {{"ServerSMTP", "127.0.0.1:" + std::to_string(port)}, {"From", "a@x"},
                                           {"To", "b@y"}}}}));
    const HostRun run = RunHostProgram(Args({"send", "G", "-"}, false), "body");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("G ERR: Could not connect to the SMTP server 127.0.0.1 on port " + std::to_string(port) +
                           ", GetLastError returns: 111 (connection refused)"),
              std::string::npos)
        << run.out;
}

// A person who types `send G` would otherwise wait for a prompt.
TEST_F(SendCommandTest, OnATerminalSaysItReadsTheTurnFromStandardInput)
{
    if (!TmuxTerminal::Available())
        GTEST_SKIP() << "tmux is not installed";
    LoopbackSmtpServer sink;
    UseSink(sink);
    std::vector<std::string> command{MORV_HOST_PROGRAM};
    for (const std::string &argument : Args({"send", "G"}, false))
        command.push_back(argument);
    TmuxTerminal terminal(command);
    ASSERT_TRUE(terminal.WaitForScreen("reading the turn from standard input until end of file")) << terminal.Screen();
    terminal.Type("turn 12");
    terminal.Keys({"Enter", "C-d"});
    const std::optional<TmuxTerminal::Ending> ending = terminal.WaitForEnd();
    ASSERT_TRUE(ending);
    EXPECT_EQ(ending->exitCode, 0) << terminal.Screen();
    ASSERT_EQ(sink.Mails().size(), 1u);
    EXPECT_TRUE(sink.Mails()[0].Body().starts_with("turn 12\r\n")) << sink.Mails()[0].Body();
}

// Each signal cancels as Ctrl-C does; the lines that follow the cancel
// come in the order the plug-in sent them, the game's closing last.
TEST_F(SendCommandTest, SignalsCancelALongDeliveryAndExitWithTheirNumber)
{
    LoopbackSmtpServer stalling(WellBehavedSmtp{.stallLines = 600, .stallMs = 200});
    UseSink(stalling);
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    for (std::size_t round = 0; round < std::size(signals); ++round) {
        const int signal = signals[round];
        HostProcess host(Args({"send", "G", "-"}), "body");
        ASSERT_TRUE(host.WaitForOutput("status\t0x0d\n", HOST_DEADLINE));
        ASSERT_TRUE(stalling.WaitForConnections(round + 1, static_cast<DWORD>(HOST_DEADLINE.count())));
        host.Signal(signal);
        const HostRun run = host.Finish(HOST_DEADLINE);
        EXPECT_EQ(run.exitCode, 128 + signal) << run.out << run.err;
        EXPECT_TRUE(run.out.ends_with("text\tAbort by user\nstatus\t0x01\ntext\tGame G closed\noutcome\t-\tcancelled\n"))
            << run.out;
        EXPECT_EQ(run.out.find("message sent"), std::string::npos);
    }
    EXPECT_TRUE(stalling.Messages().empty());
}

}  // namespace
