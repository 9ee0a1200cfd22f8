#include "smtp/helo_name.h"

#include <gtest/gtest.h>

namespace {

TEST(HeloNameTest, OnlyADomainTextIsGivenElseTheAddressLiteral)
{
    const CString literal = "[192.0.2.7]";
    EXPECT_EQ(HeloName("mail-1.example.org", literal), "mail-1.example.org");
    EXPECT_EQ(HeloName("host\r\nRCPT TO:<x@y>", literal), literal);
    EXPECT_EQ(HeloName("under_score", literal), literal);
    EXPECT_EQ(HeloName("", literal), literal);
}

}  // namespace
