// COutbox: a message is removed by its ticket, never by its address.
#include "workers/outbox.h"

#include "settings/game_settings.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

TEST(OutboxTest, RemoveTakesOnlyTheTicketsMessageWhereverItIs)
{
    CMutex guard;
    COutbox outbox{guard};
    CMapStringToString working;
    outbox.Append(std::make_unique<CQueuedMessage>(MakeMap({{KEY_BODY, "A"}})));
    const auto first = outbox.MergeNewestInto(working);
    outbox.Append(std::make_unique<CQueuedMessage>(MakeMap({{KEY_BODY, "B"}})));
    outbox.Remove(*first);
    EXPECT_EQ(outbox.GetCount(), 1u);

    // A discarded message's ticket must not remove a later message, even
    // one that happens to reuse its memory.
    const auto second = outbox.MergeNewestInto(working);
    outbox.Clear();
    outbox.Append(std::make_unique<CQueuedMessage>(MakeMap({{KEY_BODY, "C"}})));
    outbox.Remove(*second);
    EXPECT_EQ(outbox.GetCount(), 1u);
    EXPECT_EQ(working[KEY_BODY], "B");
}
