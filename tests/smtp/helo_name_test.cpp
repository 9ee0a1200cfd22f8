#include "smtp/helo_name.h"

#include <gtest/gtest.h>

namespace {

TEST(HeloNameTest, OnlyLettersDigitsHyphensAndDotsMakeADomain)
{
    EXPECT_TRUE(IsHeloDomain("mail-1.example.org"));
    EXPECT_FALSE(IsHeloDomain("host\r\nRCPT TO:<x@y>"));
    EXPECT_FALSE(IsHeloDomain("under_score"));
    EXPECT_FALSE(IsHeloDomain(""));
}

}  // namespace
