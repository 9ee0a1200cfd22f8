#include "compose/domain_name.h"
#include "compose/mail_message.h"
#include "compose/mailbox.h"

#include <gtest/gtest.h>

namespace {

TEST(MailboxTest, OnlyLocalAtDomainPasses)
{
    const std::pair<const char *, const char *> rows[] = {
        {"player@example.org", nullptr},
        {"a.b+turns@mail-1.example.org", nullptr},
        {"a@localhost", nullptr},
        {"a@[192.0.2.1]", nullptr},
        {"a@[IPv6:2001:db8::1]", nullptr},
        {"Doe", MAILBOX_AT_TEXT},
        {"a@b@c.example", MAILBOX_AT_TEXT},
        {"", MAILBOX_AT_TEXT},
        {"@example.org", MAILBOX_LOCAL_PART_TEXT},
        {"a@", MAILBOX_DOMAIN_TEXT},
        {"a@example..org", MAILBOX_DOMAIN_TEXT},
        {"a@example.org.", MAILBOX_DOMAIN_TEXT},
        {"a@-example.org", MAILBOX_DOMAIN_TEXT},
        {"a@exa_mple.org", MAILBOX_DOMAIN_TEXT},
        {"a@[192.0.2.256]", MAILBOX_DOMAIN_TEXT},
        {"a@[192.0.2]", MAILBOX_DOMAIN_TEXT},
        {"a@[IPv6:zz::1]", MAILBOX_DOMAIN_TEXT},
    };
    for (const auto &[address, problem] : rows)
        EXPECT_EQ(MailboxProblem(address), problem) << address;
    EXPECT_FALSE(IsDomainOfLabels(std::string(64, 'a') + ".org"));
}

TEST(MailboxTest, TheFirstAddressThatIsNoMailboxIsNamed)
{
    CMailMessage message;
    message.m_from = CMailAddress(CString("Me <me@example.org>"));
    message.ParseAddressList("srv@example.org, Doe", ADDRESS_TO);
    EXPECT_EQ(MailboxesProblem(message), "\"Doe\" is not a mail address of the form local@domain: it needs exactly one @");
    message.m_to.pop_back();
    EXPECT_TRUE(MailboxesProblem(message).IsEmpty());
}

TEST(DomainNameTest, AFullyQualifiedNameHasTwoLabelsAndIsNoNumber)
{
    EXPECT_TRUE(IsFullyQualifiedDomain("vm.example.org"));
    EXPECT_FALSE(IsFullyQualifiedDomain("vm"));
    EXPECT_FALSE(IsFullyQualifiedDomain("10.0.0.1"));
    EXPECT_FALSE(IsFullyQualifiedDomain("my_pc.example.org"));
}

}  // namespace
