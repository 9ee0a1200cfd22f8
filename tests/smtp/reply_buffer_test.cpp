#include "smtp/reply_buffer.h"
#include "smtp/reply_reader.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ReplyBufferTest, AReceiveThatFillsTheRoomGrowsByOneStepAndKeepsTheBytes)
{
    char stack[CReplyReader::BUFFER_SIZE];
    std::unique_ptr<char[]> grown;
    CReplyBuffer reply(stack, CReplyReader::BUFFER_SIZE, grown, CReplyReader::GROWTH_STEP);
    const std::string line = "550-" + std::string(296, 'x') + "\r\n";
    reply.Append(line.substr(0, 100));
    EXPECT_EQ(reply.Capacity(), CReplyReader::BUFFER_SIZE);
    EXPECT_FALSE(grown);
    const int room = reply.Room();
    std::memcpy(reply.End(), line.data() + 100, static_cast<std::size_t>(room));
    reply.Commit(room);
    EXPECT_EQ(reply.Capacity(), CReplyReader::BUFFER_SIZE + CReplyReader::GROWTH_STEP);
    EXPECT_EQ(reply.View(), line.substr(0, 100 + static_cast<std::size_t>(room)));
    EXPECT_EQ(reply.View().data(), grown.get());
}

}  // namespace
