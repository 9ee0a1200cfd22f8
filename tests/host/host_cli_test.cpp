// morv-host driven as a script drives it: porcelain output, exit codes, the
// project file, deliveries to the host's loopback SMTP server, signals.
#include "host/loopback/loopback_smtp_server.h"
#include "host_process.h"
#include "support/temp_folder.h"
#include "tmux_terminal.h"

#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <map>
#include <memory>
#include <optional>

namespace {

namespace fs = std::filesystem;

constexpr const char *REFUSAL = "550 5.1.1 No such mailbox here";
constexpr const char *EMPTY_PROJECT = "{\"morv-host-project\": 1, \"games\": {}}\n";

using Settings = std::map<std::string, std::string>;

// A project holding the games with these settings, as config saves them.
std::string ProjectWith(const std::map<std::string, Settings> &games)
{
    nlohmann::json project = {{"morv-host-project", 1}, {"games", nlohmann::json::object()}};
    for (const auto &[game, settings] : games) {
        nlohmann::json pairs(settings);
        pairs["GameName"] = game;
        project["games"][game] = {{"tag", "OXU:-)Transport"}, {"version", 100}, {"settings", pairs}};
    }
    return project.dump(2);
}

Settings SinkSettings(const LoopbackSmtpServer &sink)
{
    return {{"ServerSMTP", sink.Address()}, {"From", "me@x"}, {"To", "them@y"}};
}

mode_t ModeOf(const fs::path &path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

class HostCliTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(project, EMPTY_PROJECT); }

    std::vector<std::string> Args(std::vector<std::string> rest, bool porcelain = true) const
    {
        std::vector<std::string> args{"--lang", "en", "--project", project.string()};
        if (porcelain)
            args.insert(args.begin(), "--porcelain");
        args.insert(args.end(), rest.begin(), rest.end());
        return args;
    }
    // A body file in the test's folder.
    std::string Body(const std::string &name, const std::string &text) const
    {
        WriteFile(folder / name, text);
        return (folder / name).string();
    }
    HostRun Send(const std::string &game, std::vector<std::string> extra, const std::string &input = {}) const
    {
        std::vector<std::string> args = Args({"send", game, "--timeout", "20"});
        args.insert(args.end(), extra.begin(), extra.end());
        return RunHostProgram(args, input);
    }
    // The project holds `game` pointed at the sink.
    void UseSink(const LoopbackSmtpServer &sink, const std::string &game = "G") const
    {
        WriteFile(project, ProjectWith({{game, SinkSettings(sink)}}));
    }

    TempFolder folder;
    fs::path project = folder / "project.json";
};

bool Has(const std::string &output, const std::string &line) { return output.find(line + "\n") != std::string::npos; }

std::size_t Count(const std::string &text, const std::string &part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST_F(HostCliTest, HelpAndUsageErrors)
{
    const HostRun help = RunHostProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char *command : {"config", "send", "list", "check", "demo", "help", "111", "10060"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    EXPECT_EQ(RunHostProgram({"send", "--help"}).exitCode, 0);
    const HostRun helpSend = RunHostProgram({"help", "send"});
    EXPECT_EQ(helpSend.exitCode, 0);
    EXPECT_NE(helpSend.out.find("Usage: morv-host send"), std::string::npos) << helpSend.out;
    EXPECT_EQ(RunHostProgram({}).exitCode, 2);
    EXPECT_EQ(RunHostProgram({"--lang", "de", "check"}).exitCode, 2);
    const HostRun typo = RunHostProgram({"--project", "p.json", "sned", "G"});
    EXPECT_EQ(typo.exitCode, 2);
    EXPECT_NE(typo.err.find("did you mean \"send\"?"), std::string::npos) << typo.err;
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
            const HostRun run = RunHostProgram(Args(command), "body");
            EXPECT_EQ(run.exitCode, 2) << content;
            EXPECT_NE(run.err.find(problem), std::string::npos) << content << " -> " << run.err;
            EXPECT_EQ(ReadFile(project), content) << "the file was changed";
        }
    }
}

// A device would be read until memory runs out, a pipe would block.
TEST_F(HostCliTest, ProjectThatIsNoRegularFileOrTooLargeIsRefusedUnread)
{
    const fs::path pipe = folder / "pipe.json", large = folder / "large.json";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    WriteFile(large, EMPTY_PROJECT);
    fs::resize_file(large, (64u << 20) + 1);  // sparse: nothing is written
    const std::pair<fs::path, std::string> cases[] = {
        {"/dev/zero", "is not a regular file"}, {pipe, "is not a regular file"},
        {folder.Path(), "is not a regular file"}, {large, "larger than 64 MiB"}};
    for (const auto &[path, problem] : cases)
        for (const std::vector<std::string> &command : {std::vector<std::string>{"config", "G", "To=x@y"},
                                                         std::vector<std::string>{"send", "G", "-"}}) {
            std::vector<std::string> args{"--project", path.string()};
            args.insert(args.end(), command.begin(), command.end());
            const HostRun run = RunHostProgram(args, "body", std::chrono::seconds(10));
            EXPECT_EQ(run.exitCode, 2) << path;
            EXPECT_NE(run.err.find(problem), std::string::npos) << path << " -> " << run.err;
            EXPECT_FALSE(fs::exists(path.parent_path() / ("." + path.filename().string() + ".lock"))) << path;
        }
}

TEST_F(HostCliTest, SendNeedsAnExistingProjectFile)
{
    fs::remove(project);
    const HostRun run = Send("G", {"-"}, "body");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("does not exist"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(project));
}

// Each refusal comes before the plug-in is loaded, so nothing is sent.
TEST_F(HostCliTest, SendRefusesWhatItCannotSendAsMeant)
{
    WriteFile(project, ProjectWith({{"G", {{"Subject", "Ход"}}}, {"H", {}}}));
    fs::create_directory(folder / "turns");
    const std::string locked = Body("locked.txt", "turn");
    fs::permissions(locked, fs::perms::none);
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
    if (geteuid() != 0) {  // root reads any file
        const HostRun run = Send("G", {locked});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find("Permission denied"), std::string::npos) << run.err;
    }
}

TEST_F(HostCliTest, CheckPrintsTheTwoStatusWords)
{
    const HostRun run = RunHostProgram(Args({"check"}));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("status\t0x02\nstatus\t0x00\n"), std::string::npos) << run.out;
}

TEST_F(HostCliTest, FailedSendExitsOneWithTheErrorText)
{
    WriteFile(project, ProjectWith({{"G", {{"Mailer", "2"}}}}));
    const HostRun run = Send("G", {"-"}, "body");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Has(run.out, "text\tG sending message")) << run.out;
    EXPECT_TRUE(Has(run.out, "text\tG No FILE mailer found")) << run.out;
    EXPECT_TRUE(Has(run.out, "status\t0x04")) << run.out;
}

TEST_F(HostCliTest, SuccessfulSendReportsTheRecordAndTheServerGetsKoi8)
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

// The queue hands out the newest message first: only a host that keeps
// the order delivers the files as given.
TEST_F(HostCliTest, SeveralFilesAreDeliveredInTheOrderGivenEachNamingItsFile)
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

    const HostRun human = RunHostProgram(Args({"send", "G", files[0], "-"}, false), "third");
    EXPECT_TRUE(Has(human.out, files[0] + ": G message sent")) << human.out;
    EXPECT_TRUE(Has(human.out, "<stdin>: G message sent")) << human.out;
}

TEST_F(HostCliTest, BodiesInOtherEncodingsAndWithAByteOrderMarkArriveAsText)
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

TEST_F(HostCliTest, RefusedRecipientFailsWithTheServersWords)
{
    LoopbackSmtpServer refusing(WellBehavedSmtp{.replies = {{"RCPT", std::string(REFUSAL) + "\r\n"}}});
    UseSink(refusing);
    const HostRun run = Send("G", {"-"}, "body");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find(std::string("text\tG ERR: ") + REFUSAL), std::string::npos) << run.out;
    EXPECT_TRUE(Has(run.out, "status\t0x04")) << run.out;
    EXPECT_EQ(run.out.find("\nsent\t"), std::string::npos) << run.out;
}

// A server's words could hold a terminal's escape sequences (colours, a
// new window title, a cleared screen).
TEST_F(HostCliTest, ControlCharactersFromTheServerNeverReachTheTerminalRaw)
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

TEST_F(HostCliTest, UnreachableServerFailsWithTheConnectTextSpelledOut)
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

// Each signal cancels as Ctrl-C does; the lines that follow the cancel
// come in the order the plug-in sent them, the game's closing last.
TEST_F(HostCliTest, SignalsCancelALongDeliveryAndExitWithTheirNumber)
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
        EXPECT_TRUE(run.out.ends_with("text\tAbort by user\nstatus\t0x01\ntext\tGame G closed\n")) << run.out;
        EXPECT_EQ(run.out.find("message sent"), std::string::npos);
    }
    EXPECT_TRUE(stalling.Messages().empty());
}

TEST_F(HostCliTest, ConfigCreatesAPrivateProjectAndSendUsesTheSavedSettings)
{
    fs::remove(project);
    LoopbackSmtpServer sink;
    const HostRun config = RunHostProgram(Args({"config", "Alpha", "ServerSMTP=" + sink.Address(), "From=me@x",
                                                "To=them@y", "Subject=Ход", "Custom=kept", "--force"}));
    ASSERT_EQ(config.exitCode, 0) << config.out << config.err;
    EXPECT_EQ(ModeOf(project), 0600u) << "it holds addresses and server names";
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
    const HostRun list = RunHostProgram(Args({"list"}));
    EXPECT_EQ(list.out, "game\tAlpha\tSMTP\t" + sink.Address() + "\tthem@y\n");

    const HostRun send = Send("Alpha", {"-"}, "turn");
    EXPECT_EQ(send.exitCode, 0) << send.out << send.err;
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Mails()[0].recipients, std::vector<std::string>{"them@y"});
}

TEST_F(HostCliTest, ConfigRefusesWhatItCannotStoreAsMeant)
{
    WriteFile(project, ProjectWith({{"G", {{"To", "t@y"}}}}));
    const std::string before = ReadFile(project);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"G", "Form=me@x"}, "(did you mean \"From\"?)"},
        {{"G", "GameName=H"}, "cannot be changed"},
        {{"G", "ServerSMTP=host:99999"}, "1-65535"},
        {{"G", "--unset", "GameName"}, "cannot be removed"},
        {{"G", "--unset", "Subject"}, "has no setting \"Subject\""},
        {{"Nowhere"}, "holds no game \"Nowhere\" (it holds \"G\")"},
        {{"Nowhere", "--unset", "To"}, "holds no game \"Nowhere\""},
        {{"G", "-i", "To=x"}, "KEY=VALUE and --unset go without it"},
        {{"G", "--interactive"}, "needs a terminal"},
    };
    for (const auto &[extra, problem] : cases) {
        std::vector<std::string> args{"config"};
        args.insert(args.end(), extra.begin(), extra.end());
        const HostRun run = RunHostProgram(Args(args));
        EXPECT_EQ(run.exitCode, 2) << problem;
        EXPECT_NE(run.err.find(problem), std::string::npos) << problem << " -> " << run.err;
        EXPECT_EQ(ReadFile(project), before) << problem;
    }
}

TEST_F(HostCliTest, ConfigUnsetRemovesAKeyAndOtherwiseNeverSavesLessThanTheFileHeld)
{
    WriteFile(project, R"({"morv-host-project": 1, "other": true, "games": {
        "Alpha": {"tag": "OXU:-)Transport", "version": 100, "settings": {"GameName": "Alpha", "To": "old@y", "Extra": "e"}},
        "Beta": {"tag": "OXU:-)Transport", "version": 100, "settings": {"GameName": "Beta", "To": "b@y"}}}})");
    const HostRun run = RunHostProgram(Args({"config", "Alpha", "To=new@y", "Mailer=MAPI"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::string saved = ReadFile(project);
    for (const char *kept : {"\"other\": true", "\"Extra\": \"e\"", "\"b@y\"", "\"To\": \"new@y\"", "\"Mailer\": \"1\""})
        EXPECT_NE(saved.find(kept), std::string::npos) << kept << " in " << saved;
    ASSERT_EQ(RunHostProgram(Args({"config", "Alpha", "--unset", "Extra"})).exitCode, 0);
    saved = ReadFile(project);
    EXPECT_EQ(saved.find("Extra"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"To\": \"new@y\""), std::string::npos) << saved;
}

// Two runs that read the project before either wrote it would each write
// back only their own change.
TEST_F(HostCliTest, ConcurrentConfigRunsLoseNoUpdate)
{
    constexpr int ROUNDS = 10;
    for (int round = 0; round < ROUNDS; ++round) {
        HostProcess a(Args({"config", "G", "A" + std::to_string(round) + "=a", "--force"}));
        HostProcess b(Args({"config", "G", "B" + std::to_string(round) + "=b", "--force"}));
        ASSERT_EQ(a.Finish(HOST_DEADLINE).exitCode, 0);
        ASSERT_EQ(b.Finish(HOST_DEADLINE).exitCode, 0);
    }
    const std::string saved = ReadFile(project);
    for (int round = 0; round < ROUNDS; ++round)
        for (const std::string key : {"A", "B"})
            EXPECT_NE(saved.find("\"" + key + std::to_string(round) + "\""), std::string::npos) << key << round;
}

TEST_F(HostCliTest, SymlinkedProjectIsUpdatedAtItsTargetAndTheLinkStays)
{
    const fs::path target = folder / "real" / "project.json", link = folder / "link.json";
    fs::create_directory(folder / "real");
    WriteFile(target, ProjectWith({{"G", {{"To", "old@y"}}}}));
    fs::create_symlink("real/project.json", link);
    const HostRun run = RunHostProgram({"--project", link.string(), "config", "G", "To=new@y"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(ReadFile(target).find("\"To\": \"new@y\""), std::string::npos) << ReadFile(target);
}

// The temporary file and the rename are all that stand between a full disk
// and a project cut short.
TEST_F(HostCliTest, SaveThatCannotCompleteLeavesTheFileAsItWasAndSavesKeepItsMode)
{
    Settings many;
    for (int i = 0; i < 40; ++i)
        many["Key" + std::to_string(i)] = std::string(40, 'v');
    WriteFile(project, ProjectWith({{"Alpha", many}, {"Beta", many}}));
    fs::permissions(project, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string before = ReadFile(project);
    ASSERT_GT(before.size(), 2048u);
    const HostRun full = RunHostProgram(Args({"config", "Alpha", "To=new@y"}), {}, HOST_DEADLINE,
                                        HostSetup{.fileSizeLimit = 2048});
    EXPECT_EQ(full.exitCode, 2);
    EXPECT_NE(full.err.find("File too large"), std::string::npos) << full.err;
    EXPECT_TRUE(ReadFile(project) == before) << "the project was changed";
    const HostRun saved = RunHostProgram(Args({"config", "Alpha", "To=new@y"}));
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(ModeOf(project), 0640u);
    for (const auto &entry : fs::directory_iterator(folder.Path()))
        EXPECT_TRUE(entry.path() == project || entry.path().filename() == ".project.json.lock") << entry.path();
}

// The locale may name UTF-8 without being installed, or be unset.
TEST_F(HostCliTest, HumanOutputIsUtf8WhereverTheLocaleSaysSo)
{
    WriteFile(project, ProjectWith({{"G", {{"Subject", "Ход"}}}}));
    const std::vector<std::string> locales[] = {
        {"LC_ALL", "LC_CTYPE", "LANG=ru_RU.UTF-8"}, {"LC_ALL=xx_YY.utf8"}, {"LC_ALL", "LC_CTYPE", "LANG"}};
    for (const std::vector<std::string> &environment : locales) {
        const HostRun run = RunHostProgram({"--lang", "ru", "--project", project.string(), "config", "G"}, {},
                                           HOST_DEADLINE, HostSetup{.environment = environment});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find("Subject = Ход"), std::string::npos) << environment.back() << ": " << run.out;
        EXPECT_NE(run.out.find("G загружена"), std::string::npos) << environment.back() << ": " << run.out;
        EXPECT_EQ(run.out.find('?'), std::string::npos) << environment.back() << ": " << run.out;
    }
}

// The configuration page on a person's terminal, driven through tmux.
class HostPageTest : public HostCliTest {
protected:
    void SetUp() override
    {
        if (!TmuxTerminal::Available())
            GTEST_SKIP() << "tmux is not installed";
        WriteFile(project, ProjectWith({{"G", {{"From", "old@x"}, {"Security", "tls"}}}}));
    }

    // config GAME on a terminal, with the page shown.
    std::unique_ptr<TmuxTerminal> OpenPage(const std::vector<std::string> &extra = {}) const
    {
        std::vector<std::string> command{MORV_HOST_PROGRAM};
        for (const std::string &argument : Args({"config", "G"}, false))
            command.push_back(argument);
        command.insert(command.end(), extra.begin(), extra.end());
        auto terminal = std::make_unique<TmuxTerminal>(command);
        EXPECT_TRUE(terminal->WaitForScreen("Enter: save")) << terminal->Screen();
        return terminal;
    }
};

// The line of the screen that holds `label`.
std::string LineWith(const std::string &screen, const std::string &label)
{
    const std::size_t at = screen.find(label);
    if (at == std::string::npos)
        return {};
    const std::size_t start = screen.rfind('\n', at) + 1;
    return screen.substr(start, screen.find('\n', at) - start);
}

TEST_F(HostPageTest, PageShowsTheControlsAndSavesWhatIsTypedAsConfigDoes)
{
    const fs::path twin = folder / "twin.json";
    WriteFile(twin, ReadFile(project));
    const auto page = OpenPage();
    const std::string screen = page->Screen();
    EXPECT_NE(LineWith(screen, "your E-mail address:").find("[old@x "), std::string::npos) << screen;
    EXPECT_NE(screen.find("my outgoing mail server is a [SMTP"), std::string::npos) << screen;
    EXPECT_NE(screen.find("Outgoing mail (SMTP):"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("Action (FILE):"), std::string::npos) << screen;

    page->Keys({"C-u"});
    page->Type("игрок@x");
    page->Keys({"Tab"});
    page->Type("them@y");
    page->Keys({"Tab", "Tab", "Down"});
    EXPECT_TRUE(page->WaitForScreen([](const std::string &s) { return s.find("SMTP):") == std::string::npos; }))
        << "choosing MAPI hides the SMTP server's row at once: " << page->Screen();
    page->Keys({"Enter"});
    const std::optional<TmuxTerminal::Ending> ending = page->WaitForEnd();
    ASSERT_TRUE(ending) << page->Screen();
    EXPECT_EQ(ending->exitCode, 0) << page->Screen();
    EXPECT_TRUE(ending->terminalGivenBack);

    const HostRun config = RunHostProgram({"--lang", "en", "--project", twin.string(), "config", "G",
                                           "From=игрок@x", "To=them@y", "Mailer=MAPI"});
    ASSERT_EQ(config.exitCode, 0) << config.err;
    EXPECT_EQ(ReadFile(project), ReadFile(twin));
}

TEST_F(HostPageTest, LeavingThePageOtherwiseSavesNothingAndGivesTheTerminalBack)
{
    const std::string before = ReadFile(project);
    const std::pair<std::string, int> ways[] = {{"Escape", 0}, {"C-c", 130}, {"SIGTERM", 143}, {"SIGHUP", 129}};
    for (const auto &[way, exitCode] : ways) {
        SCOPED_TRACE(way);
        const auto page = OpenPage({"--interactive"});
        page->Type("typed but never confirmed");
        ASSERT_TRUE(page->WaitForScreen("confirmed"));
        if (way.starts_with("SIG"))
            kill(page->ProgramPid(), way == "SIGTERM" ? SIGTERM : SIGHUP);
        else
            page->Keys({way});
        const std::optional<TmuxTerminal::Ending> ending = page->WaitForEnd();
        ASSERT_TRUE(ending) << page->Screen();
        EXPECT_EQ(ending->exitCode, exitCode) << page->Screen();
        EXPECT_TRUE(ending->terminalGivenBack);
        EXPECT_EQ(ReadFile(project), before);
    }
}

// The page waits for a terminal large enough for it, then shows the
// game's Russian text as it is.
TEST_F(HostPageTest, TooSmallATerminalSaysSoUntilItGrowsAndRussianTextShows)
{
    WriteFile(project, ProjectWith({{"G", {{"From", "old@x"}, {"Subject", "Ход"}}}}));
    std::vector<std::string> command{MORV_HOST_PROGRAM, "--lang", "ru", "--project", project.string(), "config", "G"};
    TmuxTerminal terminal(command, {.columns = 60, .lines = 20});
    EXPECT_TRUE(terminal.WaitForScreen("needs a terminal of 80 x 24")) << terminal.Screen();
    terminal.Resize({.columns = 80, .lines = 24});
    EXPECT_TRUE(terminal.WaitForScreen("[Ход ")) << terminal.Screen();
    terminal.Keys({"Escape"});
    const std::optional<TmuxTerminal::Ending> ending = terminal.WaitForEnd();
    ASSERT_TRUE(ending) << terminal.Screen();
    EXPECT_TRUE(ending->terminalGivenBack);
}

TEST_F(HostPageTest, NoInteractiveShowsTheSettingsOnATerminal)
{
    std::vector<std::string> command{MORV_HOST_PROGRAM};
    for (const std::string &argument : Args({"config", "G", "--no-interactive"}, false))
        command.push_back(argument);
    TmuxTerminal terminal(command);
    const std::optional<TmuxTerminal::Ending> ending = terminal.WaitForEnd();
    ASSERT_TRUE(ending) << terminal.Screen();
    EXPECT_EQ(ending->exitCode, 0);
    EXPECT_NE(terminal.Screen().find("From = old@x"), std::string::npos) << terminal.Screen();
}

TEST_F(HostCliTest, DemoDeliversTheRussianMessageIntact)
{
    const HostRun run = RunHostProgram({"--lang", "en", "demo"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("OK: the message arrived intact"), std::string::npos) << run.out;
}

}  // namespace
