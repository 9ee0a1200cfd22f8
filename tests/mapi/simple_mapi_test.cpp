// CSimpleMapi's own contract, beyond what the mailer uses: the asking
// logon, session handling, every descriptor SendMail builds, and a wrapper
// that is or has become unloaded.
#include "fake_calls.h"
#include "fake_mapi_state.h"
#include "mail/simple_mapi.h"
#include "mapi_environment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace fake_calls;
using Calls = std::vector<std::string>;

class SimpleMapiTest : public ::testing::Test {
protected:
    void SetUp() override { env.InstallProvider(FAKE_MAPI_DIR); }

    MapiEnvironment env;
    FakeMapiState &fake = FakeMapiState::Instance();
};

TEST_F(SimpleMapiTest, LogonWithoutProfileLetsTheProviderAsk)
{
    CSimpleMapi mapi;
    ASSERT_TRUE(mapi.IsLoaded());
    EXPECT_TRUE(mapi.Logon("", "secret", reinterpret_cast<HWND>(0x1234)));
    EXPECT_EQ(fake.Calls(), Calls{"MAPILogon(ui=4660 profile=null password=null flags=3 reserved=0)"});
}

TEST_F(SimpleMapiTest, LogonClosesTheOpenSessionFirst)
{
    CSimpleMapi mapi;
    EXPECT_TRUE(mapi.Logon("Default", "", nullptr));
    EXPECT_TRUE(mapi.Logon("Default", "", nullptr));
    EXPECT_EQ(fake.Calls(), (Calls{LogonDefault(), Logoff(), LogonDefault()}));
}

TEST_F(SimpleMapiTest, LogoffAnswersWhetherASessionWasOpen)
{
    CSimpleMapi mapi;
    EXPECT_FALSE(mapi.Logoff());
    EXPECT_TRUE(fake.Calls().empty());
    ASSERT_TRUE(mapi.Logon("Default", "", nullptr));
    fake.Script(FakeMapiFunction::Logoff, {MAPI_E_FAILURE});
    EXPECT_TRUE(mapi.Logoff());
    EXPECT_EQ(mapi.GetLastResult(), MAPI_E_FAILURE);
    EXPECT_FALSE(mapi.Logoff());
    EXPECT_EQ(fake.Calls().size(), 2u);
}

TEST_F(SimpleMapiTest, UserAbortKeepsTheEarlierResult)
{
    CSimpleMapi mapi;
    fake.Script(FakeMapiFunction::Logon, {MAPI_E_LOGON_FAILURE, MAPI_E_LOGON_FAILURE, MAPI_USER_ABORT});
    EXPECT_FALSE(mapi.Logon("Default", "", nullptr));
    EXPECT_FALSE(mapi.Logon("Default", "", nullptr));
    EXPECT_EQ(mapi.GetLastResult(), MAPI_E_LOGON_FAILURE);
    EXPECT_EQ(fake.Calls().size(), 3u);
}

TEST_F(SimpleMapiTest, SendMailDescribesEveryRecipientAndFile)
{
    CSimpleMapi mapi;
    ASSERT_TRUE(mapi.Logon("Default", "", nullptr));
    fake.Script(FakeMapiFunction::ResolveName, {SUCCESS_SUCCESS, MAPI_E_AMBIGUOUS_RECIPIENT});
    fake.SetResolvedName("Resolved");
    CMapiMail mail;
    mail.m_to = {"a", "b"};
    mail.m_cc = {"c"};
    mail.m_bcc = {"d"};
    mail.m_subject = "S";
    mail.m_noteText = "N";
    mail.m_attachPaths = {"/p1", "/p2"};
    mail.m_attachNames = {"n1", "n2"};
    EXPECT_TRUE(mapi.SendMail(mail));
    const Calls expected{LogonDefault(), Resolve("a"), Free(), Resolve("b"), Resolve("c"), Free(),
                         Resolve("d"), Free(),
                         Send("S", "N", "TO \"Resolved\", TO \"b\", CC \"Resolved\", BCC \"Resolved\"",
                              "4294967295 \"/p1\" \"n1\", 4294967295 \"/p2\" \"n2\"")};
    EXPECT_EQ(fake.Calls(), expected);
    EXPECT_EQ(mail.m_to, (CStringArray{"Resolved", "b"}));
    EXPECT_EQ(mail.m_bcc, CStringArray{"Resolved"});
}

TEST_F(SimpleMapiTest, AttachmentWithoutItsOwnNameShowsItsPath)
{
    CSimpleMapi mapi;
    ASSERT_TRUE(mapi.Logon("Default", "", nullptr));
    CMapiMail mail;
    mail.m_attachPaths = {"/p1", "/p2"};
    mail.m_attachNames = {"n1"};
    EXPECT_TRUE(mapi.SendMail(mail));
    mail.m_attachNames.clear();
    EXPECT_TRUE(mapi.SendMail(mail));
    const Calls calls = fake.Calls();
    EXPECT_EQ(calls.at(1), Send("", "", "", "4294967295 \"/p1\" \"n1\", 4294967295 \"/p2\" \"/p2\""));
    EXPECT_EQ(calls.at(2), Send("", "", "", "4294967295 \"/p1\" \"/p1\", 4294967295 \"/p2\" \"/p2\""));
}

TEST_F(SimpleMapiTest, UnloadedWrapperRefusesEveryCall)
{
    env.SearchProviderIn(env.Folder());
    CSimpleMapi mapi;
    EXPECT_FALSE(mapi.IsLoaded());
    EXPECT_FALSE(mapi.Logon("Default", "", nullptr));
    lpMapiRecipDesc resolved = nullptr;
    EXPECT_FALSE(mapi.ResolveName("a", &resolved));
    CMapiMail mail;
    EXPECT_FALSE(mapi.SendMail(mail));
    EXPECT_EQ(mapi.Unload(), 0);
    EXPECT_EQ(mapi.GetLastResult(), 0u);
}

TEST_F(SimpleMapiTest, UnloadKeepsTheResultAndLeavesNothingToCall)
{
    CSimpleMapi mapi;
    ASSERT_TRUE(mapi.Logon("Default", "", nullptr));
    fake.Script(FakeMapiFunction::SendMail, {MAPI_E_NETWORK_FAILURE});
    CMapiMail mail;
    EXPECT_FALSE(mapi.SendMail(mail));
    EXPECT_EQ(mapi.Unload(), TRUE);
    EXPECT_FALSE(mapi.IsLoaded());
    EXPECT_EQ(fake.Unloads(), 1);
    EXPECT_EQ(mapi.GetLastResult(), MAPI_E_NETWORK_FAILURE);
    EXPECT_TRUE(mapi.Logoff());
    EXPECT_EQ(fake.Calls().size(), 2u);
}

}  // namespace
