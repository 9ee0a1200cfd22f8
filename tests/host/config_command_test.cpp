// morv-host config on the command line: what it stores and shows, what it
// refuses, and a project file that never loses what it held.
#include "host_cli_fixture.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

class ConfigCommandTest : public HostCliTest {};

TEST_F(ConfigCommandTest, AssignmentWithoutEqualsIsAUsageError)
{
    const HostRun badPair = RunHostProgram(Args({"config", "G", "NoEquals"}));
    EXPECT_EQ(badPair.exitCode, 2);
    EXPECT_NE(badPair.err.find("KEY=VALUE"), std::string::npos) << badPair.err;
}

TEST_F(ConfigCommandTest, CreatesAPrivateProjectWithThePluginsSection)
{
    fs::remove(project);
    const HostRun config = RunHostProgram(Args({"config", "Alpha", "ServerSMTP=127.0.0.1:2525", "From=me@x",
                                                "To=them@y", "Subject=Ход", "Custom=kept", "--force"}));
    ASSERT_EQ(config.exitCode, 0) << config.out << config.err;
    EXPECT_EQ(ModeOf(project), 0600u) << "it holds addresses and server names";
    const std::string saved = ReadFile(project);
    EXPECT_NE(saved.find("\"OXU:-)Transport\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"Subject\": \"Ход\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"Custom\": \"kept\""), std::string::npos) << saved;
}

TEST_F(ConfigCommandTest, GameAloneShowsItsSettingsAndWritesNothing)
{
    WriteFile(project, ProjectWith({{"Alpha", {{"From", "me@x"}, {"Subject", "Ход"}, {"Custom", "kept"}}}}));
    const std::string saved = ReadFile(project);
    const HostRun show = RunHostProgram(Args({"config", "Alpha"}));
    EXPECT_EQ(show.exitCode, 0);
    for (const char *pair : {"\"Custom\":\"kept\"", "\"From\":\"me@x\"", "\"Subject\":\"Ход\""})
        EXPECT_NE(show.out.find(pair), std::string::npos) << pair << " in " << show.out;
    EXPECT_NE(show.out.find("\nsettings\t{"), std::string::npos) << show.out;
    EXPECT_EQ(ReadFile(project), saved) << "showing the settings wrote the file";
}

// Each would be stored and only fail later, at the first turn sent; the
// Login and the Security it needs are checked against the stored values.
TEST_F(ConfigCommandTest, RefusesWhatItCannotStoreAsMeant)
{
    WriteFile(project, ProjectWith({{"G", {{"To", "t@y"}}}, {"L", {{"Login", "me"}, {"Security", "tls"}}}}));
    const std::string before = ReadFile(project);
    const std::string missing = (folder / "missing.pem").string(), notPem = project.string();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"G", "Form=me@x"}, "(did you mean \"From\"?)"},
        {{"G", "GameName=H"}, "cannot be changed"},
        {{"G", "ServerSMTP=host:99999"}, "1-65535"},
        {{"G", "--unset", "GameName"}, "cannot be removed"},
        {{"G", "--unset", "Subject"}, "has no setting \"Subject\""},
        {{"Nowhere"}, "holds no game \"Nowhere\" (it holds \"G\", \"L\")"},
        {{"Nowhere", "--unset", "To"}, "holds no game \"Nowhere\""},
        {{"G", "-i", "To=x"}, "KEY=VALUE and --unset go without it"},
        {{"G", "--interactive"}, "needs a terminal"},
        {{"G", "Security=ssl"}, "Security is \"ssl\"; it must be none, starttls or tls"},
        {{"G", "Login=me"}, "Login is set while Security is absent"},
        {{"G", "Login=me", "Security=none"}, "Login is set while Security is \"none\""},
        {{"L", "Security=none"}, "Login is set while Security is \"none\""},
        {{"L", "--unset", "Security"}, "Login is set while Security is absent"},
        {{"G", "TlsCaFile=" + missing}, "TlsCaFile \"" + missing + "\" does not exist"},
        {{"G", "TlsCaFile=" + folder.Path().string()}, "is not a file"},
        {{"G", "TlsCaFile=" + notPem}, "TlsCaFile \"" + notPem + "\" holds no certificate in PEM form"},
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

// The plug-in reads the CA file wherever a turn is sent from.
TEST_F(ConfigCommandTest, StoresALoginOverTlsAndTheCaFileByItsFullPath)
{
    WriteFile(folder / "ca.pem", "-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----\n");
    const std::string relative = fs::relative(folder / "ca.pem").string();
    const HostRun run = RunHostProgram(Args({"config", "G", "Security=starttls", "Login=me", "TlsCaFile=" + relative}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string saved = ReadFile(project);
    EXPECT_NE(saved.find("\"TlsCaFile\": \"" + (folder / "ca.pem").string() + "\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"Login\": \"me\""), std::string::npos) << saved;
}

TEST_F(ConfigCommandTest, RefusesProjectFilesThatAreNotOursAndLeavesThemAlone)
{
    ExpectProjectsNotOursRefused({"config", "G", "To=x@y"});
}

TEST_F(ConfigCommandTest, RefusesAProjectThatIsNoRegularFileOrTooLargeUnread)
{
    ExpectProjectsNoRegularFileRefusedUnread({"config", "G", "To=x@y"});
}

TEST_F(ConfigCommandTest, SavingKeepsEveryOtherGameAndKey)
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

TEST_F(ConfigCommandTest, UnsetRemovesTheKeyAndKeepsTheOthers)
{
    WriteFile(project, ProjectWith({{"Alpha", {{"To", "new@y"}, {"Extra", "e"}}}}));
    ASSERT_EQ(RunHostProgram(Args({"config", "Alpha", "--unset", "Extra"})).exitCode, 0);
    const std::string saved = ReadFile(project);
    EXPECT_EQ(saved.find("Extra"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"To\": \"new@y\""), std::string::npos) << saved;
}

// Two runs that read the project before either wrote it would each write
// back only their own change.
TEST_F(ConfigCommandTest, ConcurrentRunsLoseNoUpdate)
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

TEST_F(ConfigCommandTest, SymlinkedProjectIsUpdatedAtItsTargetAndTheLinkStays)
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

class ConfigSaveTest : public ConfigCommandTest {
protected:
    void SetUp() override
    {
        Settings many;
        for (int i = 0; i < 40; ++i)
            many["Key" + std::to_string(i)] = std::string(40, 'v');
        WriteFile(project, ProjectWith({{"Alpha", many}, {"Beta", many}}));
        fs::permissions(project, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }

    // Beside the project only its lock: no temporary file is left.
    void ExpectNothingLeftBesideTheProject() const
    {
        for (const auto &entry : fs::directory_iterator(folder.Path()))
            EXPECT_TRUE(entry.path() == project || entry.path().filename() == ".project.json.lock") << entry.path();
    }
};

// The temporary file and the rename are all that stand between a full disk
// and a project cut short.
TEST_F(ConfigSaveTest, SaveThatCannotCompleteLeavesTheFileAsItWas)
{
    const std::string before = ReadFile(project);
    ASSERT_GT(before.size(), 2048u);
    const HostRun full = RunHostProgram(Args({"config", "Alpha", "To=new@y"}), {}, HOST_DEADLINE,
                                        HostSetup{.fileSizeLimit = 2048});
    EXPECT_EQ(full.exitCode, 2);
    EXPECT_NE(full.err.find("File too large"), std::string::npos) << full.err;
    EXPECT_TRUE(ReadFile(project) == before) << "the project was changed";
    ExpectNothingLeftBesideTheProject();
}

TEST_F(ConfigSaveTest, SaveKeepsTheFilesMode)
{
    const HostRun saved = RunHostProgram(Args({"config", "Alpha", "To=new@y"}));
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(ModeOf(project), 0640u);
    ExpectNothingLeftBesideTheProject();
}

// The locale may name UTF-8 without being installed, or be unset.
TEST_F(ConfigCommandTest, HumanOutputIsUtf8WhereverTheLocaleSaysSo)
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

}  // namespace
