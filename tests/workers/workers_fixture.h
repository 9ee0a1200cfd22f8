// WorkersTest: the statically linked plug-in with a TestHost and a
// FakeMailer. Each test starts from a fresh plug-in state (events reset,
// queue, working record and status word empty, real time-outs) and ends
// with OnClose, after which no worker may run.
#pragma once

#include "fake_mailer.h"
#include "support/linked_plugin_api.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

class WorkersTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Open(const char *game);
    void SendMessage(const char *game, const std::string &body);
    void SendMap(CMapStringToString message) { host.Api().Send(message); }

    std::size_t Count(WPARAM kind) const;
    // Pump until `count` notifications of `kind` have arrived, at most
    // `timeoutMs`.
    bool WaitFor(WPARAM kind, std::size_t count, DWORD timeoutMs = TestHost::DEFAULT_WAIT_MS);
    bool WaitForCalls(std::size_t count);
    // Loads, opens Alpha and sends one message whose delivery the mailer
    // holds under `rule`; returns once the mailer has it.
    void StartHeldDelivery(MailerRule rule);
    bool WaitForIdleWorkers();
    static bool AnyWorkerRuns();

    FakeMailer mailer;
    TestHost host{LinkedPluginApi()};
};

// The notifications of one successful delivery for Alpha.
Lines DeliveredLines(const std::string &body);
