// CWorkerSlot: no absorbed wake-up is lost, and a stop releases only the
// thread it stopped.
#include "workers/worker_slot.h"

#include "platform/event.h"
#include "platform/host_window.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace {

constexpr DWORD WAIT_MS = TestHost::DEFAULT_WAIT_MS;

CEvent g_gate;
CEvent g_successorGate;
CEvent g_wake;
CWorkerSlot g_slot{&g_wake};

DWORD EndsAtTheGate()
{
    g_gate.Lock(WAIT_MS);
    return 0;
}

DWORD ThrowsAtTheGate()
{
    g_gate.Lock(WAIT_MS);
    throw std::runtime_error("out of memory");
}

DWORD WaitsForTheSuccessorGate()
{
    g_successorGate.Lock(WAIT_MS);
    return 0;
}

class WorkerSlotTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (CEvent *event : {&g_gate, &g_successorGate, &g_wake})
            event->ResetEvent();
    }
    void TearDown() override
    {
        g_gate.SetEvent();
        g_successorGate.SetEvent();
        EXPECT_TRUE(g_slot.Stop(WAIT_MS, CWorkerSlot::WaitMode::Plain));
    }
};

TEST_F(WorkerSlotTest, WakeUpAbsorbedByAThreadThatEndsIsHandedBackWhateverWayItEnds)
{
    for (const CWorkerSlot::Procedure worker : {EndsAtTheGate, ThrowsAtTheGate}) {
        ASSERT_TRUE(g_slot.StartUnlessRunning(worker));
        ASSERT_TRUE(g_slot.StartUnlessRunning(WaitsForTheSuccessorGate));
        g_gate.SetEvent();
        EXPECT_TRUE(g_wake.Lock(WAIT_MS));
    }
    // A Send that comes once the stop has been asked for is kept; the
    // slot's lock is re-entrant.
    ASSERT_TRUE(g_slot.StartUnlessRunning(EndsAtTheGate));
    EXPECT_TRUE(g_slot.Stop(WAIT_MS, CWorkerSlot::WaitMode::Plain, [] {
        g_slot.StartUnlessRunning(WaitsForTheSuccessorGate);
        g_gate.SetEvent();
    }));
    EXPECT_TRUE(g_wake.Lock(0));
}

// The first of two stops (the canceller's) has released the old thread and
// a successor has started (by the dispatcher) before the second stop (the
// host's) comes back from its wait: the second must keep the successor, or
// it would run unwatched and a third could start beside it.
TEST_F(WorkerSlotTest, StopKeepsASuccessorStartedAfterTheEndOfTheThreadItStopped)
{
    constexpr UINT START_SUCCESSOR = 0x0401;
    bool firstStopped = false;
    bool successorStarted = false;
    const HWND window = CreateHostWindow([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == START_SUCCESSOR) {
            g_gate.SetEvent();
            firstStopped = g_slot.Stop(WAIT_MS, CWorkerSlot::WaitMode::Plain);
            successorStarted = g_slot.StartUnlessRunning(WaitsForTheSuccessorGate);
        }
        return 0;
    });
    ASSERT_TRUE(g_slot.StartUnlessRunning(EndsAtTheGate));
    // Handled while the second stop waits and pumps.
    std::thread other([window] { SendMessageA(window, START_SUCCESSOR, 0, 0); });
    EXPECT_TRUE(g_slot.Stop(WAIT_MS, CWorkerSlot::WaitMode::Pumping));
    other.join();
    DestroyHostWindow(window);
    EXPECT_TRUE(firstStopped);
    EXPECT_TRUE(successorStarted);
    EXPECT_TRUE(g_slot.IsRunning());
}

}  // namespace
