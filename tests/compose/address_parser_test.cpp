#include "compose/address_parser.h"
#include "compose/mail_message.h"
#include "platform/last_error.h"

#include <gtest/gtest.h>

namespace {

struct ItemCase {
    const char *item;
    AddressItem result;
    const char *displayName;
    const char *address;
};

void PrintTo(const ItemCase &row, std::ostream *out) { *out << ::testing::PrintToString(row.item); }

class ParseAddressItemTest : public ::testing::TestWithParam<ItemCase> {};

TEST_P(ParseAddressItemTest, SplitsNameAndAddress)
{
    const ItemCase &row = GetParam();
    CMailAddress address;
    ASSERT_EQ(ParseAddressItem(row.item, address), row.result) << row.item;
    if (row.result != AddressItem::Malformed) {
        EXPECT_EQ(address.m_displayName, row.displayName) << row.item;
        EXPECT_EQ(address.m_address, row.address) << row.item;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Items, ParseAddressItemTest,
    ::testing::Values(ItemCase{"x@y", AddressItem::Parsed, "", "x@y"},
                      ItemCase{"  x@y \t", AddressItem::Parsed, "", "x@y"},
                      ItemCase{"Bob <x@y>", AddressItem::Parsed, "Bob", "x@y"},
                      ItemCase{" Bob  < x@y > trailing", AddressItem::Parsed, "Bob", "x@y"},
                      ItemCase{"\"Smith\" <x@y>", AddressItem::Parsed, "\"Smith\"", "x@y"},
                      ItemCase{"<x@y>", AddressItem::Parsed, "", "x@y"},
                      ItemCase{"x>y", AddressItem::Parsed, "", "x>y"},
                      ItemCase{"<a<b>", AddressItem::Parsed, "", "a<b"},
                      ItemCase{"Bob <>", AddressItem::Empty, "Bob", ""},
                      ItemCase{"   ", AddressItem::Empty, "", ""},
                      ItemCase{"", AddressItem::Empty, "", ""},
                      ItemCase{"Bob <x@y", AddressItem::Malformed, "", ""},
                      ItemCase{"Bob > <x@y", AddressItem::Malformed, "", ""},
                      ItemCase{"<", AddressItem::Malformed, "", ""}));

class ParseAddressListTest : public ::testing::Test {
protected:
    std::vector<std::string> Addresses(int kind) const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < message.GetAddressCount(kind); ++i)
            texts.push_back(message.GetAddress(i, kind).GetDisplayText().str());
        return texts;
    }

    CMailMessage message;
};

TEST_F(ParseAddressListTest, AppendsEveryAddressInOrderToTheGivenList)
{
    ASSERT_TRUE(message.ParseAddressList("Bob <x@y>; z@w,\"Smith, Ann\" <a@v>", ADDRESS_CC));
    EXPECT_EQ(Addresses(ADDRESS_CC), (std::vector<std::string>{"Bob <x@y>", "z@w", "\"Smith", "Ann\" <a@v>"}));
    EXPECT_EQ(message.GetAddressCount(ADDRESS_TO), 0);
}

TEST_F(ParseAddressListTest, SeparatorsAndBlanksAloneAddNothing)
{
    for (const char *text : {",;,", "  \t ", "", "Bob <>; ,"}) {
        EXPECT_TRUE(message.ParseAddressList(text, ADDRESS_TO)) << text;
        EXPECT_EQ(message.GetAddressCount(ADDRESS_TO), 0) << text;
    }
}

TEST_F(ParseAddressListTest, MalformedItemStopsWithInvalidDataAndKeepsEarlierAddresses)
{
    SetLastError(0);
    EXPECT_FALSE(message.ParseAddressList("first@x; Bob <bob@y; last@z", ADDRESS_TO));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    EXPECT_EQ(Addresses(ADDRESS_TO), std::vector<std::string>{"first@x"});
}

TEST_F(ParseAddressListTest, ParsingAnAddressOfTheSameMessageIsSafe)
{
    message.AddAddress(CMailAddress(CString("a@x;b@x;c@x;d@x;e@x")), ADDRESS_TO);
    ASSERT_TRUE(message.ParseAddressList(message.m_to[0].m_address, ADDRESS_TO));
    EXPECT_EQ(message.GetAddressCount(ADDRESS_TO), 6);
    EXPECT_EQ(message.GetAddress(5, ADDRESS_TO).m_address, "e@x");
}

}  // namespace
