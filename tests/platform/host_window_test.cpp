#include "platform/host_window.h"
#include "platform/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// The messages a host gives the plug-in are its own (WM_USER and above); a
// real window also gets the system's, which these windows leave alone.
constexpr UINT HOST_MESSAGE = 0x0400;

struct RecordingWindow {
    RecordingWindow()
        : window(CreateHostWindow([this](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
              if (message < HOST_MESSAGE)
                  return 0;
              ownerRan = std::this_thread::get_id() == owner;
              ++calls;
              return static_cast<LRESULT>(message - HOST_MESSAGE + wParam);
          }))
    {
        PumpMessages();  // what a new window has queued for itself
    }
    ~RecordingWindow() { DestroyHostWindow(window); }

    std::thread::id owner = std::this_thread::get_id();
    std::atomic<int> calls{0};
    std::atomic<bool> ownerRan{false};
    HWND window;
};

TEST(HostWindowTest, OwnerThreadCallsTheProcedureDirectly)
{
    RecordingWindow host;
    EXPECT_EQ(SendMessageA(host.window, HOST_MESSAGE + 100, 5, 0), 105);
    EXPECT_EQ(host.calls, 1);
    EXPECT_EQ(PumpMessages(), 0);
}

TEST(HostWindowTest, WorkerBlocksUntilTheOwnerPumps)
{
    RecordingWindow host;
    std::atomic<LRESULT> result{0};
    auto worker = CWorkerThread::Start([&]() -> DWORD {
        result = SendMessageA(host.window, HOST_MESSAGE + 7, 1, 0);
        return 0;
    });
    ASSERT_TRUE(worker);
    ASSERT_TRUE(WaitMessage(10000));
    EXPECT_TRUE(worker->IsRunning());  // still inside SendMessageA
    EXPECT_EQ(host.calls, 0);
    EXPECT_EQ(PumpMessages(), 1);
    ASSERT_TRUE(worker->Wait(10000));
    EXPECT_EQ(result, 8);
    EXPECT_TRUE(host.ownerRan);
}

// Each sender sleeps on its own message and is handed back its own result.
TEST(HostWindowTest, SendersBlockedTogetherGetTheirOwnResults)
{
    RecordingWindow host;
    std::atomic<LRESULT> first{0}, second{0};
    auto one = CWorkerThread::Start([&]() -> DWORD { return static_cast<DWORD>(first = SendMessageA(host.window, HOST_MESSAGE + 10, 1, 0)); });
    auto two = CWorkerThread::Start([&]() -> DWORD { return static_cast<DWORD>(second = SendMessageA(host.window, HOST_MESSAGE + 20, 2, 0)); });
    ASSERT_TRUE(one && two);
    while (host.calls < 2) {
        ASSERT_TRUE(WaitMessage(10000));
        PumpMessages();
    }
    ASSERT_TRUE(one->Wait(10000) && two->Wait(10000));
    EXPECT_EQ(first, 11);
    EXPECT_EQ(second, 22);
}

TEST(HostWindowTest, WaitPumpingLetsABlockedWorkerFinish)
{
    RecordingWindow host;
    auto worker = CWorkerThread::Start([&]() -> DWORD {
        for (int i = 0; i < 3; ++i)
            SendMessageA(host.window, HOST_MESSAGE + 1, 0, 0);
        return 42;
    });
    ASSERT_TRUE(worker);
    ASSERT_TRUE(worker->WaitPumping(10000));
    EXPECT_EQ(host.calls, 3);
    EXPECT_EQ(worker->GetExitCode(), 42u);
}

TEST(HostWindowTest, DestroyingTheWindowReleasesWaitingSenders)
{
    auto host = std::make_unique<RecordingWindow>();
    HWND window = host->window;
    std::atomic<LRESULT> result{-1};
    auto worker = CWorkerThread::Start([&]() -> DWORD {
        result = SendMessageA(window, HOST_MESSAGE + 1, 0, 0);
        return 0;
    });
    ASSERT_TRUE(WaitMessage(10000));
    host.reset();
    ASSERT_TRUE(worker->Wait(10000));
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(SendMessageA(window, HOST_MESSAGE + 1, 0, 0), 0);
}

// A worker's series runs in one pump of the owner, one message at a time:
// a pump inside the procedure runs none of the later ones, and a message's
// lParam is taken only when the one before has returned. When the first
// ends the window, the rest are dropped (their lParam still taken), but
// the worker waits until the first has returned, since it may still use
// its payload.
TEST(HostWindowTest, SeriesRunsOneMessageAtATimeInOnePump)
{
#if defined(_WIN32)
    GTEST_SKIP() << "a series is one SendMessageA after another on Windows: each is its own hand-over";
#endif
    for (const bool endWindow : {false, true}) {
        SCOPED_TRACE(endWindow);
        std::vector<std::string> events;
        std::atomic<bool> returned{false};
        bool returnedWhileRunning = false;
        HWND window = CreateHostWindow([&](HWND self, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message < HOST_MESSAGE)
                return 0;
            events.push_back("run " + std::to_string(wParam) + " " + std::to_string(lParam));
            if (wParam == 1)
                events.push_back("nested pump ran " + std::to_string(PumpMessages()));
            if (endWindow)
                DestroyHostWindow(self);
            returnedWhileRunning = returnedWhileRunning || returned;
            return 0;
        });
        auto worker = CWorkerThread::Start([&]() -> DWORD {
            const MessageParameters series[] = {{1, 0}, {2, 0, [&] {
                                                         events.push_back("hand over 2");
                                                         return LPARAM{20};
                                                     }},
                                                {3, 0}};
            SendMessageSeries(window, HOST_MESSAGE + 7, series);
            returned = true;
            return 0;
        });
        ASSERT_TRUE(WaitMessage(10000));
        EXPECT_EQ(PumpMessages(), endWindow ? 1 : 3);
        ASSERT_TRUE(worker->Wait(10000));
        EXPECT_FALSE(returnedWhileRunning);
        std::vector<std::string> expected{"run 1 0", "nested pump ran 0", "hand over 2"};
        if (!endWindow) {
            expected.insert(expected.end(), {"run 2 20", "run 3 0"});
            DestroyHostWindow(window);
        }
        EXPECT_EQ(events, expected);
    }
}

}  // namespace
