// morv-host's help and the mistakes on its command line that no command
// gets to see: each is a usage error, exit code 2.
#include "host_cli_fixture.h"

#include <gtest/gtest.h>

namespace {

class HelpAndUsageTest : public HostCliTest {};

TEST_F(HelpAndUsageTest, HelpNamesEveryCommandAndTheErrorNumbers)
{
    const HostRun help = RunHostProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char *command : {"config", "send", "list", "check", "demo", "help", "111", "10060"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
}

TEST_F(HelpAndUsageTest, CommandTakesHelp) { EXPECT_EQ(RunHostProgram({"send", "--help"}).exitCode, 0); }

TEST_F(HelpAndUsageTest, HelpOfACommandShowsItsUsage)
{
    const HostRun helpSend = RunHostProgram({"help", "send"});
    EXPECT_EQ(helpSend.exitCode, 0);
    EXPECT_NE(helpSend.out.find("Usage: morv-host send"), std::string::npos) << helpSend.out;
}

TEST_F(HelpAndUsageTest, NoCommandIsAUsageError) { EXPECT_EQ(RunHostProgram({}).exitCode, 2); }

TEST_F(HelpAndUsageTest, LanguageWithoutTextsIsAUsageError)
{
    EXPECT_EQ(RunHostProgram({"--lang", "de", "check"}).exitCode, 2);
}

TEST_F(HelpAndUsageTest, MistypedCommandIsNamedWithTheOneMeant)
{
    const HostRun typo = RunHostProgram({"--project", "p.json", "sned", "G"});
    EXPECT_EQ(typo.exitCode, 2);
    EXPECT_NE(typo.err.find("did you mean \"send\"?"), std::string::npos) << typo.err;
}

TEST_F(HelpAndUsageTest, PluginThatCannotBeLoadedIsAClearError)
{
    const HostRun run = RunHostProgram({"--plugin", (folder / "nothing.so").string(), "check"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("cannot load the plug-in"), std::string::npos) << run.err;
}

}  // namespace
