#include "platform/ticks.h"

#include <gtest/gtest.h>

namespace {

// What is left of a bound, including across the wrap of the 32-bit
// counter, which a subtraction in a wider type would get wrong.
TEST(TicksTest, WhatIsLeftOfABoundSurvivesTheWrap)
{
    struct Row {
        DWORD start, bound, now, left;
    };
    const Row rows[] = {
        {1000, 2000, 1000, 2000}, {1000, 2000, 2999, 1}, {1000, 2000, 3000, 0}, {1000, 2000, 9000, 0},
        {0xFFFFFF00u, 2000, 0xFFFFFFFFu, 1745}, {0xFFFFFF00u, 2000, 0x10, 1728},
        {0xFFFFFF00u, 2000, 0x6CF, 1}, {0xFFFFFF00u, 2000, 0x6D0, 0},
        {1000, 0, 1000, 0}, {1000, INFINITE, 0xFFFFFFFFu, INFINITE}, {0xFFFFFF00u, INFINITE, 0x6D0, INFINITE},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(TicksLeft(row.start, row.bound, row.now), row.left) << row.start << " " << row.now;
        const CTickBound bound(row.bound, row.start);
        EXPECT_EQ(bound.Left(row.now), row.left) << row.start << " " << row.now;
        EXPECT_EQ(bound.Expired(row.now), row.left == 0) << row.start << " " << row.now;
    }
}

}  // namespace
