// morv-host check: Check's two status words.
#include "host_cli_fixture.h"

#include <gtest/gtest.h>

namespace {

class CheckCommandTest : public HostCliTest {};

TEST_F(CheckCommandTest, PrintsTheTwoStatusWords)
{
    const HostRun run = RunHostProgram(Args({"check"}));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("status\t0x02\nstatus\t0x00\n"), std::string::npos) << run.out;
}

}  // namespace
