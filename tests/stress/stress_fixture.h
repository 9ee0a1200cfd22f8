// StressTest: the statically linked plug-in driven by a TestHost against a
// well-behaved scripted SMTP server, with helpers that account for every
// message. Each test starts from a fresh plug-in state and ends with
// OnClose, after which no worker may run. Test thread only.
#pragma once

#include "support/linked_plugin_api.h"
#include "host/loopback/loopback_smtp_server.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class StressTest : public ::testing::Test {
protected:
    // A bound on every documented wait of OnClose (dispatcher, then workers).
    static constexpr DWORD CLOSE_BOUND_MS = 10000;

    void SetUp() override;
    void TearDown() override;

    // Opens Alpha as a host restores it, delivering through `server`.
    void OpenAlpha(const LoopbackSmtpServer &server);
    void SendTurn(const std::string &body);
    // OnClose, failing the test when it waits past its bounds.
    void CloseWithinBounds();

    // Bodies of the delivered records, in the order reported.
    std::vector<std::string> SentBodies() const;
    std::size_t CountTexts(const std::string &text) const;
    std::size_t CountTextsStartingWith(const std::string &prefix) const;
    bool WaitForIdleWorkers();
    static bool AnyWorkerRuns();
    static std::size_t Queued();

    // Every reported body is reported once and reached `server` whole.
    void ExpectReportedOnceAndOnTheServer(const LoopbackSmtpServer &server) const;

    TestHost host{LinkedPluginApi()};
    LoopbackSmtpServer server;
};

// The server's copy of a message whose body is `body`.
std::string ContentOf(const std::string &body);
