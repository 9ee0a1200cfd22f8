// morv-host list: one line per game of the project.
#include "host_cli_fixture.h"

#include <gtest/gtest.h>

namespace {

class ListCommandTest : public HostCliTest {};

TEST_F(ListCommandTest, PorcelainLineNamesTheGamesMailerServerAndRecipients)
{
    LoopbackSmtpServer sink;
    UseSink(sink, "Alpha");
    const HostRun list = RunHostProgram(Args({"list"}));
    EXPECT_EQ(list.out, "game\tAlpha\tSMTP\t" + sink.Address() + "\tthem@y\n");
}

}  // namespace
