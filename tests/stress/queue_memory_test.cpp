// Memory held by the outgoing queue: ten thousand messages of 10 KB queued
// behind a held delivery, then Cancel. The bytes in use return to where
// they started, and so does the resident size. The figures are printed
// for the record.
#include "stress_fixture.h"

#include <malloc.h>

#include <cstdio>

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool SANITIZED = true;
#elif defined(__has_feature)
constexpr bool SANITIZED = __has_feature(address_sanitizer) || __has_feature(thread_sanitizer);
#else
constexpr bool SANITIZED = false;
#endif

// Sanitizer builds keep their own heaps, which mallinfo2 does not see, and
// run the same path at a tenth of the size for their own leak checks.
constexpr std::size_t MESSAGES = SANITIZED ? 1000 : 10000;
constexpr std::size_t BODY_BYTES = 10 * 1024;
constexpr long TOLERANCE = 64 * 1024;
constexpr long RESIDENT_TOLERANCE_KB = 16 * 1024;

long BytesInUse() { return static_cast<long>(mallinfo2().uordblks); }

// Resident pages in kilobytes.
long ResidentKb()
{
    long pages = 0, resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * 4;
}

class QueueMemoryTest : public StressTest {
protected:
    LoopbackSmtpServer held{WellBehavedSmtp{{}, "DATA"}};
};

TEST_F(QueueMemoryTest, TenThousandQueuedMessagesAreReturnedByCancel)
{
    host.Load();
    OpenAlpha(held);
    SendTurn("held");
    ASSERT_TRUE(host.PumpUntil([&] { return held.WaitUntilHeld(0); }));
    host.Pump();
    const std::string body(BODY_BYTES, 'm');
    const long start = BytesInUse();
    const long startKb = ResidentKb();
    for (std::size_t turn = 0; turn < MESSAGES; ++turn)
        SendTurn(body);
    const long peak = BytesInUse();
    const long peakKb = ResidentKb();
    EXPECT_EQ(Queued(), MESSAGES + 1);
    host.Api().Cancel();
    ASSERT_TRUE(host.PumpUntil([&] { return CountTexts("Abort by user") == 1; }));
    ASSERT_TRUE(WaitForIdleWorkers());
    const long end = BytesInUse();
    const long endKb = ResidentKb();
    EXPECT_EQ(Queued(), 0u);
    if (!SANITIZED) {
        std::printf("queue memory: %zu messages of %zu bytes: %+ld bytes queued, %+ld bytes after Cancel\n",
                    MESSAGES, BODY_BYTES, peak - start, end - start);
        std::printf("resident: %ld kB at the start, %ld kB queued, %ld kB after Cancel\n", startKb, peakKb, endKb);
        EXPECT_GE(peak - start, static_cast<long>(MESSAGES * BODY_BYTES));
        EXPECT_LT(end - start, TOLERANCE);
        EXPECT_LT(endKb - startKb, RESIDENT_TOLERANCE_KB);
    }
}

}  // namespace
