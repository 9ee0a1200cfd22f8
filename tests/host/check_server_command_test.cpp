// morv-host check-server: the game's SMTP server tried through the
// plug-in, each step shown, without a turn being sent.
#include "host_cli_fixture.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

class CheckServerCommandTest : public HostCliTest {};

TEST_F(CheckServerCommandTest, GoesAsFarAsTheGreetingAndQuitsShowingEachStep)
{
    LoopbackSmtpServer sink;
    UseSink(sink);
    const fs::path trace = folder / "trace.log";
    const HostRun run = RunHostProgram(Args({"check-server", "G", "--trace", trace.string()}, false));
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(run.out.starts_with("* connected to 127.0.0.1 port " + std::to_string(sink.Port()) +
                                    "\n< 220 scripted.test SMTP ready\n> HELO "))
        << run.out;
    EXPECT_TRUE(run.out.ends_with("> QUIT\n< 221 Bye\nG server check passed: QUIT before MAIL FROM, nothing was sent\n"))
        << run.out;
    ASSERT_TRUE(sink.WaitForConnectionEnd(0));
    EXPECT_EQ(sink.Received(0).find("MAIL"), std::string::npos) << sink.Received(0);
    EXPECT_NE(ReadFile(trace).find("Z > QUIT\n"), std::string::npos) << "--trace still gets the transcript";
    const HostRun porcelain = RunHostProgram(Args({"check-server", "G"}));
    EXPECT_EQ(porcelain.exitCode, 0);
    EXPECT_TRUE(Has(porcelain.out, "smtp\t> QUIT\nsmtp\t< 221 Bye")) << porcelain.out;
    EXPECT_TRUE(sink.Mails().empty());
}

TEST_F(CheckServerCommandTest, AFailedCheckExitsOneWithWhatTheServerSaid)
{
    LoopbackSmtpServer refusing(WellBehavedSmtp{.replies = {{"GREETING", "554 5.7.1 no service for you\r\n"}}});
    UseSink(refusing);
    const HostRun run = RunHostProgram(Args({"check-server", "G"}, false));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.ends_with("G ERR: An unexpected SMTP login response was received\n"
                                  "hint: the server's last reply: 554 5.7.1 no service for you\n"))
        << run.out;
    WriteFile(project, ProjectWith({{"G", {{"Mailer", "1"}}}}));
    const HostRun mapi = RunHostProgram(Args({"check-server", "G"}, false));
    EXPECT_EQ(mapi.exitCode, 2);
    EXPECT_NE(mapi.err.find("no SMTP server to check"), std::string::npos) << mapi.err;
}

}  // namespace
