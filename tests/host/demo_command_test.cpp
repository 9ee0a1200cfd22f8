// morv-host demo: its own server, the page, a Russian message.
#include "host_process.h"

#include <gtest/gtest.h>

namespace {

TEST(DemoCommandTest, DeliversTheRussianMessageIntact)
{
    const HostRun run = RunHostProgram({"--lang", "en", "demo"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("OK: the message arrived intact"), std::string::npos) << run.out;
}

}  // namespace
