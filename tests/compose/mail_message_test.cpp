#include "compose/mail_attachment.h"
#include "compose/mail_message.h"

#include <gtest/gtest.h>

namespace {

class BuildHeaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        message.m_from = CMailAddress(CString("me@x"));
        message.m_subject = "Turn 5";
        message.ParseAddressList("Bob <bob@y>; srv@z", ADDRESS_TO);
    }

    CMailMessage message;
    CMailAttachment attachment;
};

TEST(MailAddressTest, DisplayTextShowsTheNameOnlyWhenThereIsOne)
{
    EXPECT_EQ(CMailAddress(CString("Bob"), CString("x")).GetDisplayText(), "Bob <x>");
    EXPECT_EQ(CMailAddress(CString("x")).GetDisplayText(), "x");
}

TEST_F(BuildHeaderTest, PlainMessageHasFromToSubjectAndTheEmptyLine)
{
    message.AddAddress(CMailAddress(CString("hidden@b")), ADDRESS_BCC);
    EXPECT_EQ(message.BuildHeader().str(), "From: me@x\r\nTo: Bob <bob@y>,srv@z\r\nSubject: Turn 5\r\n\r\n");
}

TEST_F(BuildHeaderTest, EmptyToListStillWritesTheToLine)
{
    message.m_to.clear();
    EXPECT_EQ(message.BuildHeader().str(), "From: me@x\r\nTo: \r\nSubject: Turn 5\r\n\r\n");
}

TEST_F(BuildHeaderTest, CcAndReplyToTakeTheirPlaces)
{
    message.AddAddress(CMailAddress(CString("Ann"), CString("ann@c")), ADDRESS_CC);
    message.AddAddress(CMailAddress(CString("c2@c")), ADDRESS_CC);
    message.m_replyTo = CMailAddress(CString("Desk"), CString("desk@r"));
    EXPECT_EQ(message.BuildHeader().str(),
              "From: me@x\r\nTo: Bob <bob@y>,srv@z\r\nCc: Ann <ann@c>,c2@c\r\nSubject: Turn 5\r\n"
              "Reply-To: Desk <desk@r>\r\n\r\n");
}

TEST_F(BuildHeaderTest, AttachmentsAddTheMultipartLines)
{
    message.m_attachments.push_back(&attachment);
    EXPECT_EQ(message.BuildHeader().str(),
              "From: me@x\r\nTo: Bob <bob@y>,srv@z\r\nSubject: Turn 5\r\n"
              "MIME-Version: 1.0\r\nContent-type: multipart/mixed; boundary=\"#BOUNDARY#\"\r\n\r\n");
}

TEST_F(BuildHeaderTest, LineBreaksInsideFieldsCannotStartHeaderLines)
{
    message.m_subject = "Hi\r\nBcc: victim@v";
    message.m_to.clear();
    message.AddAddress(CMailAddress(CString("Eve\nX-Evil: 1"), CString("e@v")), ADDRESS_TO);
    message.m_from = CMailAddress(CString("Me\r"), CString("me@x"));
    message.m_replyTo = CMailAddress(CString("r@v\r\nX: y"));
    EXPECT_EQ(message.BuildHeader().str(), "From: Me  <me@x>\r\nTo: Eve X-Evil: 1 <e@v>\r\n"
                                           "Subject: Hi  Bcc: victim@v\r\nReply-To: r@v  X: y\r\n\r\n");
}

}  // namespace
