// WorkersTest: runs the statically linked plug-in with a TestHost and a
// FakeMailer. Each test starts from a fresh plug-in state (events reset,
// queue, working record and status word empty, real time-outs) and ends
// with OnClose.
#pragma once

#include "fake_mailer.h"
#include "support/linked_plugin_api.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class WorkersTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Open(const char *game);
    void CloseGame(const char *game);
    void SendMessage(const char *game, const std::string &body);
    void SendMap(CMapStringToString message) { host.Api().Send(message); }

    // Notifications of one kind received so far.
    std::size_t Count(WPARAM kind) const;
    // Pumps until the fake mailer has been called `count` times.
    bool WaitForCalls(std::size_t count);
    // Pumps until `count` records have been reported sent.
    bool WaitForSent(std::size_t count);
    bool WaitForTexts(std::size_t count);
    // Pumps until no worker and no dispatcher runs.
    bool WaitForIdleWorkers();

    FakeMailer mailer;
    TestHost host{LinkedPluginApi()};
};
