// morv-host driven as a script drives it: porcelain output, exit codes, the
// project file, deliveries to the host's loopback SMTP server, Ctrl-C.
#include "host/loopback_smtp_server.h"
#include "host_process.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

namespace {

constexpr const char *REFUSAL = "550 5.1.1 No such mailbox here";
constexpr const char *EMPTY_PROJECT = "{\"morv-host-project\": 1, \"games\": {}}\n";

class HostCliTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(project, EMPTY_PROJECT); }

    std::vector<std::string> Args(std::initializer_list<std::string> rest) const
    {
        std::vector<std::string> args{"--porcelain", "--lang", "en", "--project", project.string()};
        args.insert(args.end(), rest);
        return args;
    }
    // A body file in the test's folder.
    std::string Body(const std::string &name, const std::string &text) const
    {
        WriteFile(folder / name, text);
        return (folder / name).string();
    }
    // --set pairs that point a game without settings at the sink.
    std::vector<std::string> SinkPairs(const LoopbackSmtpServer &sink) const
    {
        return {"--set", "ServerSMTP=" + sink.Address(), "--set", "From=me@x", "--set", "To=them@y"};
    }
    HostRun Send(const std::string &game, std::vector<std::string> extra, const std::string &input = {}) const
    {
        std::vector<std::string> args = Args({"send", game, "--timeout", "20"});
        args.insert(args.end(), extra.begin(), extra.end());
        return RunHostProgram(args, input);
    }

    TempFolder folder;
    std::filesystem::path project = folder / "project.json";
};

bool Has(const std::string &output, const std::string &line) { return output.find(line + "\n") != std::string::npos; }

TEST_F(HostCliTest, HelpAndUsageErrors)
{
    const HostRun help = RunHostProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char *command : {"config", "send", "check", "demo"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    EXPECT_EQ(RunHostProgram({"send", "--help"}).exitCode, 0);
    EXPECT_EQ(RunHostProgram({}).exitCode, 2);
    EXPECT_EQ(RunHostProgram({"--lang", "de", "check"}).exitCode, 2);
    const HostRun badPair = RunHostProgram(Args({"config", "G", "NoEquals"}));
    EXPECT_EQ(badPair.exitCode, 2);
    EXPECT_NE(badPair.err.find("KEY=VALUE"), std::string::npos) << badPair.err;
}

TEST_F(HostCliTest, PluginThatCannotBeLoadedIsAClearError)
{
    const HostRun run = RunHostProgram({"--plugin", (folder / "nothing.so").string(), "check"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("cannot load the plug-in"), std::string::npos) << run.err;
}

TEST_F(HostCliTest, ProjectFilesThatAreNotOursAreRefusedAndLeftAlone)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "is empty"},
        {"not json at all", "is not JSON"},
        {"{\"projects\": []}", "is not a morv-host project"},
        {R"({"morv-host-project": 1, "games": {"G": {"tag": "OtherPlugin", "version": 100, "settings": {"To": "t"}}}})",
         "belongs to another plug-in"},
        {R"({"morv-host-project": 1, "games": {"G": {"tag": "OXU:-)Transport", "version": 99, "settings": {}}}})",
         "version 99"},
    };
    for (const auto &[content, problem] : cases) {
        for (const std::vector<std::string> &command :
             {std::vector<std::string>{"config", "G", "To=x@y"}, std::vector<std::string>{"send", "G", "-"}}) {
            WriteFile(project, content);
            std::vector<std::string> args = Args({});
            args.insert(args.end(), command.begin(), command.end());
            const HostRun run = RunHostProgram(args, "body");
            EXPECT_EQ(run.exitCode, 2) << content;
            EXPECT_NE(run.err.find(problem), std::string::npos) << content << " -> " << run.err;
            EXPECT_EQ(ReadFile(project), content) << "the file was changed";
        }
    }
}

TEST_F(HostCliTest, SendNeedsAnExistingProjectFile)
{
    std::filesystem::remove(project);
    const HostRun run = Send("G", {"-"}, "body");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("does not exist"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(project));
}

TEST_F(HostCliTest, BodyThatWindows1251CannotHoldIsRefusedBeforeAnythingIsSent)
{
    const HostRun run = Send("G", {Body("emoji.txt", "ход 😀")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("Windows-1251"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(HostCliTest, CheckPrintsTheTwoStatusWords)
{
    const HostRun run = RunHostProgram(Args({"check"}));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("status\t0x02\nstatus\t0x00\n"), std::string::npos) << run.out;
}

TEST_F(HostCliTest, FailedSendExitsOneWithTheErrorText)
{
    const HostRun run = Send("G", {"--set", "Mailer=2", "-"}, "body");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Has(run.out, "text\tG sending message")) << run.out;
    EXPECT_TRUE(Has(run.out, "text\tG No FILE mailer found")) << run.out;
    EXPECT_TRUE(Has(run.out, "status\t0x04")) << run.out;
}

TEST_F(HostCliTest, SuccessfulSendReportsTheRecordAndTheServerGetsKoi8)
{
    LoopbackSmtpServer sink;
    std::vector<std::string> extra = SinkPairs(sink);
    extra.insert(extra.end(), {"--set", "Subject=Ход", Body("turn.txt", "Привет")});
    const HostRun run = Send("Alpha", extra);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string expectedLines = "text\tAlpha sending message\nstatus\t0x0d\ntext\tAlpha message sent\nstatus\t0x00\n";
    EXPECT_NE(run.out.find(expectedLines), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("sent\t{\"Body\":\"Привет\",\"From\":\"me@x\",\"GameName\":\"Alpha\""), std::string::npos)
        << run.out;
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_NE(sink.Mails()[0].Header().find("Subject: \xE8\xCF\xC4\r\n"), std::string::npos);  // "Ход" in KOI8-R
}

TEST_F(HostCliTest, SeveralFilesAreSeveralMessagesEachWithItsOutcome)
{
    LoopbackSmtpServer sink;
    std::vector<std::string> extra = SinkPairs(sink);
    extra.insert(extra.end(), {Body("1.txt", "first"), Body("2.txt", "second"), "-"});
    const HostRun run = Send("G", extra, "third");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    ASSERT_EQ(sink.Messages().size(), 3u);
    std::vector<std::string> bodies;
    for (const ReceivedMail &mail : sink.Mails())
        bodies.push_back(mail.Body());
    std::sort(bodies.begin(), bodies.end());
    EXPECT_EQ(bodies, (std::vector<std::string>{"first\r\n", "second\r\n", "third\r\n"}));
    const auto count = [&](const std::string &line) {
        std::size_t n = 0;
        for (std::size_t at = run.out.find(line); at != std::string::npos; at = run.out.find(line, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("text\tG message sent\n"), 3u) << run.out;
    EXPECT_EQ(count("\nsent\t{"), 3u) << run.out;
}

TEST_F(HostCliTest, RefusedRecipientFailsWithTheServersWords)
{
    LoopbackSmtpServer refusing(WellBehavedSmtp{.replies = {{"RCPT", std::string(REFUSAL) + "\r\n"}}});
    std::vector<std::string> extra = SinkPairs(refusing);
    extra.push_back("-");
    const HostRun run = Send("G", extra, "body");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find(std::string("text\tG ERR: ") + REFUSAL), std::string::npos) << run.out;
    EXPECT_TRUE(Has(run.out, "status\t0x04")) << run.out;
    EXPECT_EQ(run.out.find("\nsent\t"), std::string::npos) << run.out;
}

TEST_F(HostCliTest, UnreachableServerFailsWithTheConnectText)
{
    int port = 0;
    {
        const LoopbackSmtpServer closed;
        port = closed.Port();
    }
    const HostRun run = Send("G", {"--set", "ServerSMTP=127.0.0.1:" + std::to_string(port), "--set", "From=a@x",
                                   "--set", "To=b@y", "-"}, "body");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("text\tG ERR: Could not connect to the SMTP server 127.0.0.1"), std::string::npos)
        << run.out;
}

TEST_F(HostCliTest, CtrlCDuringALongDeliveryCancelsAndExits130)
{
    LoopbackSmtpServer stalling(WellBehavedSmtp{.stallLines = 600, .stallMs = 200});
    std::vector<std::string> args = Args({"send", "G"});
    const std::vector<std::string> extra = SinkPairs(stalling);
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back("-");
    HostProcess host(args, "body");
    ASSERT_TRUE(host.WaitForOutput("status\t0x0d\n", HOST_DEADLINE));
    ASSERT_TRUE(stalling.WaitForConnections(1, static_cast<DWORD>(HOST_DEADLINE.count())));
    host.Signal(SIGINT);
    const HostRun run = host.Finish(HOST_DEADLINE);
    EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
    EXPECT_TRUE(Has(run.out, "text\tAbort by user")) << run.out;
    EXPECT_EQ(run.out.find("message sent"), std::string::npos);
    EXPECT_TRUE(stalling.Messages().empty());
}

TEST_F(HostCliTest, ConfigCreatesTheProjectAndSendUsesTheSavedSettings)
{
    std::filesystem::remove(project);
    LoopbackSmtpServer sink;
    const HostRun config = RunHostProgram(Args({"config", "Alpha", "ServerSMTP=" + sink.Address(), "From=me@x",
                                                "To=them@y", "Subject=Ход", "Custom=kept"}));
    ASSERT_EQ(config.exitCode, 0) << config.out << config.err;
    const std::string saved = ReadFile(project);
    EXPECT_NE(saved.find("\"OXU:-)Transport\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"Subject\": \"Ход\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"Custom\": \"kept\""), std::string::npos) << saved;

    const HostRun show = RunHostProgram(Args({"config", "Alpha"}));
    EXPECT_EQ(show.exitCode, 0);
    for (const char *pair : {"\"Custom\":\"kept\"", "\"From\":\"me@x\"", "\"Subject\":\"Ход\""})
        EXPECT_NE(show.out.find(pair), std::string::npos) << pair << " in " << show.out;
    EXPECT_NE(show.out.find("\nsettings\t{"), std::string::npos) << show.out;
    EXPECT_EQ(ReadFile(project), saved) << "showing the settings wrote the file";

    const HostRun send = Send("Alpha", {"-"}, "turn");
    EXPECT_EQ(send.exitCode, 0) << send.out << send.err;
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Mails()[0].recipients, std::vector<std::string>{"them@y"});
}

TEST_F(HostCliTest, ConfigNeverSavesLessThanTheFileHeld)
{
    WriteFile(project, R"({"morv-host-project": 1, "other": true, "games": {
        "Alpha": {"tag": "OXU:-)Transport", "version": 100, "settings": {"GameName": "Alpha", "To": "old@y", "Extra": "e"}},
        "Beta": {"tag": "OXU:-)Transport", "version": 100, "settings": {"GameName": "Beta", "To": "b@y"}}}})");
    const HostRun run = RunHostProgram(Args({"config", "Alpha", "To=new@y", "Mailer=MAPI"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string saved = ReadFile(project);
    for (const char *kept : {"\"other\": true", "\"Extra\": \"e\"", "\"b@y\"", "\"To\": \"new@y\"", "\"Mailer\": \"1\""})
        EXPECT_NE(saved.find(kept), std::string::npos) << kept << " in " << saved;
}

TEST_F(HostCliTest, DemoDeliversTheRussianMessageIntact)
{
    const HostRun run = RunHostProgram({"--lang", "en", "demo"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("OK: the message arrived intact"), std::string::npos) << run.out;
}

}  // namespace
