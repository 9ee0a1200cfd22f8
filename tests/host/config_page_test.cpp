// morv-host config on a person's terminal: the plug-in's page, driven
// through tmux.
#include "host_cli_fixture.h"
#include "tmux_terminal.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <memory>
#include <optional>

namespace {

namespace fs = std::filesystem;

class ConfigPageTest : public HostCliTest {
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

// The games' settings; an empty value counts as absent, as the plug-in
// reads it.
nlohmann::json SettingsIn(const fs::path &project)
{
    nlohmann::json games = nlohmann::json::parse(ReadFile(project))["games"];
    for (auto &[game, section] : games.items())
        for (auto pair = section["settings"].begin(); pair != section["settings"].end();)
            pair = *pair == "" ? section["settings"].erase(pair) : std::next(pair);
    return games;
}

TEST_F(ConfigPageTest, ShowsTheControlsOfTheMailerChosen)
{
    const auto page = OpenPage();
    const std::string screen = page->Screen();
    EXPECT_NE(LineWith(screen, "your E-mail address:").find("[old@x "), std::string::npos) << screen;
    EXPECT_NE(screen.find("my outgoing mail server is a [SMTP"), std::string::npos) << screen;
    EXPECT_NE(screen.find("Outgoing mail (SMTP):"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("Action (FILE):"), std::string::npos) << screen;
    EXPECT_NE(LineWith(screen, "Security:").find("[tls "), std::string::npos) << "the host's section: " << screen;
}

TEST_F(ConfigPageTest, SavesWhatIsTypedAsConfigDoes)
{
    const fs::path twin = folder / "twin.json";
    WriteFile(twin, ReadFile(project));
    const auto page = OpenPage();
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
    EXPECT_EQ(SettingsIn(project), SettingsIn(twin));
}

// The host's section is refused as config refuses KEY=VALUE, with the page
// left open and the reason on it, and saved as config saves it.
TEST_F(ConfigPageTest, EditsTheHostsSectionAndKeepsThePageOpenOverWhatItRefuses)
{
    const auto page = OpenPage();
    page->Keys({"BTab"});  // from the first field round to the CA file
    page->Type("missing.pem");
    page->Keys({"Enter"});
    EXPECT_TRUE(page->WaitForScreen("TlsCaFile \"missing.pem\" does not exist")) << page->Screen();
    page->Keys({"C-u", "BTab"});
    page->Type("me");
    page->Keys({"BTab", "Up", "Up", "Enter"});
    EXPECT_TRUE(page->WaitForScreen("Login is set while Security is \"none\"")) << page->Screen();
    page->Keys({"Down", "Enter"});
    const std::optional<TmuxTerminal::Ending> ending = page->WaitForEnd();
    ASSERT_TRUE(ending) << page->Screen();
    EXPECT_EQ(ending->exitCode, 0) << page->Screen();
    const nlohmann::json settings = SettingsIn(project)["G"]["settings"];
    EXPECT_EQ(settings, nlohmann::json({{"GameName", "G"}, {"From", "old@x"}, {"Security", "starttls"}, {"Login", "me"}}));
}

// The page holds no lock while it is open, so other programs change the
// project meanwhile: saving writes what the page changed into the project
// as it is then, and asks before it writes over a key changed outside.
TEST_F(ConfigPageTest, SavesOnlyItsChangesIntoTheProjectAsItIsThen)
{
    for (const std::string answer : {"n", "y"}) {
        SCOPED_TRACE(answer);
        WriteFile(project, ProjectWith({{"G", {{"From", "old@x"}, {"Subject", "s0"}}}, {"H", {{"Subject", "h0"}}}}));
        const auto page = OpenPage();
        for (const auto &[game, change] : {std::pair{"New", "To=n@y"}, {"H", "Subject=h1"}, {"G", "To=them@y"},
                                           {"G", "Subject=outside"}})
            ASSERT_EQ(RunHostProgram(Args({"config", game, change})).exitCode, 0) << change;
        page->Keys({"C-u"});
        page->Type("me@x");
        page->Keys({"Tab", "Tab", "C-u"});
        page->Type("mine");
        page->Keys({"Enter"});
        EXPECT_TRUE(page->WaitForScreen("another program changed Subject to \"outside\"")) << page->Screen();
        page->Keys({answer});
        const std::optional<TmuxTerminal::Ending> ending = page->WaitForEnd();
        ASSERT_TRUE(ending) << page->Screen();
        EXPECT_EQ(ending->exitCode, 0) << page->Screen();
        const nlohmann::json games = SettingsIn(project);
        EXPECT_EQ(games["New"]["settings"]["To"], "n@y");
        EXPECT_EQ(games["H"]["settings"]["Subject"], "h1");
        EXPECT_EQ(games["G"]["settings"], nlohmann::json({{"GameName", "G"}, {"From", "me@x"}, {"To", "them@y"},
                                                          {"Subject", answer == "y" ? "mine" : "outside"}}));
    }
}

TEST_F(ConfigPageTest, LeavingThePageOtherwiseSavesNothingAndGivesTheTerminalBack)
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
TEST_F(ConfigPageTest, TooSmallATerminalSaysSoUntilItGrowsAndRussianTextShows)
{
    WriteFile(project, ProjectWith({{"G", {{"From", "old@x"}, {"Subject", "Ход"}}}}));
    std::vector<std::string> command{MORV_HOST_PROGRAM, "--lang", "ru", "--project", project.string(), "config", "G"};
    TmuxTerminal terminal(command, {.columns = 60, .lines = 20});
    EXPECT_TRUE(terminal.WaitForScreen("needs a terminal of 80 x 23")) << terminal.Screen();
    terminal.Resize({.columns = 80, .lines = 24});
    EXPECT_TRUE(terminal.WaitForScreen("[Ход ")) << terminal.Screen();
    terminal.Keys({"Escape"});
    const std::optional<TmuxTerminal::Ending> ending = terminal.WaitForEnd();
    ASSERT_TRUE(ending) << terminal.Screen();
    EXPECT_TRUE(ending->terminalGivenBack);
}

TEST_F(ConfigPageTest, NoInteractiveShowsTheSettingsOnATerminal)
{
    std::vector<std::string> command{MORV_HOST_PROGRAM};
    for (const std::string &argument : Args({"config", "G", "--no-interactive"}, false))
        command.push_back(argument);
    TmuxTerminal terminal(command);
    const std::optional<TmuxTerminal::Ending> ending = terminal.WaitForEnd();
    ASSERT_TRUE(ending) << terminal.Screen();
    EXPECT_EQ(ending->exitCode, 0);
    EXPECT_NE(terminal.Screen().find("From = old@x"), std::string::npos) << terminal.Screen();
    EXPECT_EQ(terminal.Screen().find("saved"), std::string::npos) << "it saved nothing: " << terminal.Screen();
}

}  // namespace
