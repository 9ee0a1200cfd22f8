// DeliverByMapi against the scriptable fake provider: what reaches the
// provider, in which order, and the text each outcome leaves.
#include "fake_calls.h"
#include "fake_mapi_state.h"
#include "mail/message_record.h"
#include "mapi_environment.h"
#include "platform/library.h"
#include "platform/resources.h"
#include "settings/game_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace fake_calls;
using Calls = std::vector<std::string>;

class MapiDeliveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceLanguage(ResourceLanguage::English);
        env.InstallProvider(FAKE_MAPI_DIR);
        record[KEY_GAME_NAME] = "Orion";
        record[KEY_TO] = "server@game.example";
        record[KEY_SUBJECT] = "Turn 7";
        record[KEY_BODY] = "orders";
    }

    // Delivers and checks the result and the text with its code.
    void ExpectDelivery(BOOL result, long code)
    {
        EXPECT_EQ(record.DeliverByMapi(), result);
        EXPECT_EQ(record.GetError(), CString::Formatted("Orion MAPI error %ld", code));
    }

    void ExpectNothingLoaded()
    {
        ExpectDelivery(FALSE, 0);
        EXPECT_EQ(fake.Loads(), 0);
        EXPECT_TRUE(fake.Calls().empty());
    }

    MapiEnvironment env;
    FakeMapiState &fake = FakeMapiState::Instance();
    CMessageRecord record;
};

TEST_F(MapiDeliveryTest, SendsOneMailAndReportsCodeZero)
{
    ExpectDelivery(TRUE, 0);
    const Calls expected{LogonDefault(), Resolve("server@game.example"), Free(),
                         Send("Turn 7", "orders", "TO \"server@game.example\""), Logoff()};
    EXPECT_EQ(fake.Calls(), expected);
}

TEST_F(MapiDeliveryTest, WrapperIsGoneAfterTheDelivery)
{
    ExpectDelivery(TRUE, 0);
    EXPECT_EQ(fake.Loads(), 1);
    EXPECT_EQ(fake.Unloads(), 1);
    EXPECT_EQ(fake.OutstandingBuffers(), 0);
    ExpectDelivery(TRUE, 0);
    EXPECT_EQ(fake.Loads(), 2);
    EXPECT_EQ(fake.Unloads(), 2);
}

TEST_F(MapiDeliveryTest, MapiEntryThatIsNoNonzeroNumberLoadsNothing)
{
    const std::optional<std::string> entries[] = {std::nullopt, "", "0", "yes"};
    for (const std::optional<std::string> &entry : entries) {
        SCOPED_TRACE(entry.value_or("(none)"));
        env.SetMapiEntry(entry);
        ExpectNothingLoaded();
    }
}

#if !defined(_WIN32)
TEST_F(MapiDeliveryTest, WinIniThatDoesNotEnableMapiLoadsNothing)
{
    const char binary[] = "\x7F" "ELF\0\x01[MAIL\nMAPI\n=1";
    const std::vector<std::string> profiles{"", "[Mail]\nMAPIX=1\n", "[OTHER]\nMAPI=1\n", "MAPI=1\n",
                                            std::string(binary, sizeof binary - 1)};
    for (const std::string &profile : profiles) {
        SCOPED_TRACE(profile);
        env.SetWinIni(profile);
        ExpectNothingLoaded();
    }
    env.SetVariable("MORV_WIN_INI", env.Folder() + "/no-such.ini");
    ExpectNothingLoaded();
}
#endif

TEST_F(MapiDeliveryTest, MissingLibraryFailsWithCodeZero)
{
    env.SearchProviderIn(env.Folder());
    ExpectNothingLoaded();
}

TEST_F(MapiDeliveryTest, FileThatIsNoLibraryFailsWithCodeZero)
{
    env.WriteFile(MAPI_LIBRARY_NAME, "MAPILogon MAPILogoff MAPISendMail\n");
    env.SearchProviderIn(env.Folder());
    ExpectNothingLoaded();
}

TEST_F(MapiDeliveryTest, MissingEntryPointUnloadsWithCodeZero)
{
    env.SearchProviderIn(PARTIAL_MAPI_DIR);
    ExpectDelivery(FALSE, 0);
    EXPECT_EQ(fake.Loads(), 1);
    EXPECT_EQ(fake.Unloads(), 1);
    EXPECT_TRUE(fake.Calls().empty());
}

TEST_F(MapiDeliveryTest, LogonRefusedByTheUserFailsWithCodeZero)
{
    fake.Script(FakeMapiFunction::Logon, {MAPI_USER_ABORT});
    ExpectDelivery(FALSE, 0);
    EXPECT_EQ(fake.Calls(), Calls{LogonDefault()});
}

TEST_F(MapiDeliveryTest, LogonFailingTwiceReportsTheSecondCodeAndLogsNothingOff)
{
    fake.Script(FakeMapiFunction::Logon, {MAPI_E_LOGON_FAILURE, MAPI_E_TOO_MANY_SESSIONS});
    ExpectDelivery(FALSE, MAPI_E_TOO_MANY_SESSIONS);
    EXPECT_EQ(fake.Calls(), (Calls{LogonDefault(), Attach()}));
    EXPECT_EQ(fake.Unloads(), 1);
}

TEST_F(MapiDeliveryTest, AttachingToTheClientsSessionStillSends)
{
    fake.Script(FakeMapiFunction::Logon, {MAPI_E_LOGON_FAILURE});
    ExpectDelivery(TRUE, 0);
    const Calls expected{LogonDefault(), Attach(), Resolve("server@game.example"), Free(),
                         Send("Turn 7", "orders", "TO \"server@game.example\""), Logoff()};
    EXPECT_EQ(fake.Calls(), expected);
}

TEST_F(MapiDeliveryTest, UnresolvedRecipientIsSentUnderItsOwnText)
{
    fake.Script(FakeMapiFunction::ResolveName, {MAPI_E_UNKNOWN_RECIPIENT});
    ExpectDelivery(TRUE, 0);
    const Calls expected{LogonDefault(), Resolve("server@game.example"),
                         Send("Turn 7", "orders", "TO \"server@game.example\""), Logoff()};
    EXPECT_EQ(fake.Calls(), expected);
}

TEST_F(MapiDeliveryTest, ResolvedNameReplacesTheRecipientText)
{
    fake.SetResolvedName("Orion Server");
    ExpectDelivery(TRUE, 0);
    EXPECT_EQ(fake.Calls().at(3), Send("Turn 7", "orders", "TO \"Orion Server\""));
    EXPECT_EQ(record[KEY_TO], "server@game.example");
}

TEST_F(MapiDeliveryTest, SendFailureReportsItsCodeAndStillLogsOff)
{
    fake.Script(FakeMapiFunction::SendMail, {MAPI_E_NETWORK_FAILURE});
    ExpectDelivery(FALSE, MAPI_E_NETWORK_FAILURE);
    EXPECT_EQ(fake.Calls().back(), Logoff());
    EXPECT_EQ(fake.Unloads(), 1);
}

TEST_F(MapiDeliveryTest, LogoffResultNeverReachesTheText)
{
    fake.Script(FakeMapiFunction::ResolveName, {MAPI_E_FAILURE});
    fake.Script(FakeMapiFunction::Logoff, {MAPI_E_INVALID_SESSION});
    ExpectDelivery(TRUE, 0);
    fake.Script(FakeMapiFunction::SendMail, {MAPI_E_TEXT_TOO_LARGE});
    fake.Script(FakeMapiFunction::Logoff, {MAPI_E_INVALID_SESSION});
    ExpectDelivery(FALSE, MAPI_E_TEXT_TOO_LARGE);
}

TEST_F(MapiDeliveryTest, CodeShowsAsTheSignedValueOfItsThirtyTwoBits)
{
    fake.Script(FakeMapiFunction::SendMail, {0xFFFFFFFE});
    ExpectDelivery(FALSE, -2);
}

TEST_F(MapiDeliveryTest, EmptyOrAbsentSubjectIsAnEmptyTextNotNull)
{
    record[KEY_SUBJECT] = "";
    ExpectDelivery(TRUE, 0);
    record.RemoveKey(KEY_SUBJECT);
    ExpectDelivery(TRUE, 0);
    const std::string send = Send("", "orders", "TO \"server@game.example\"");
    EXPECT_EQ(fake.Calls().at(3), send);
    EXPECT_EQ(fake.Calls().at(8), send);
}

TEST_F(MapiDeliveryTest, RecipientListIsPassedWholeAsOneName)
{
    record[KEY_TO] = "a@game.example; b@game.example,c";
    ExpectDelivery(TRUE, 0);
    EXPECT_EQ(fake.Calls().at(1), Resolve("a@game.example; b@game.example,c"));
    EXPECT_EQ(fake.Calls().at(3), Send("Turn 7", "orders", "TO \"a@game.example; b@game.example,c\""));
}

TEST_F(MapiDeliveryTest, TextsPassUnchanged)
{
    record[KEY_SUBJECT] = "\xD5\xEE\xE4 7";
    record[KEY_BODY] = ".\r\nline\n.\r\n\xF2\xE5\xEA\xF1\xF2";
    ExpectDelivery(TRUE, 0);
    EXPECT_EQ(fake.Calls().at(3), Send("\xD5\xEE\xE4 7", ".\r\nline\n.\r\n\xF2\xE5\xEA\xF1\xF2",
                                       "TO \"server@game.example\""));
}

TEST_F(MapiDeliveryTest, FieldChecksRunBodyFirstAndLoadNothing)
{
    struct Row {
        const char *to;
        const char *body;
        const char *error;
    };
    const Row rows[] = {
        {"", "", "Orion ERR: BODY Field must present"},
        {"x@y", "", "Orion ERR: BODY Field must present"},
        {"", "orders", "Orion ERR: TO Field must present"},
    };
    for (const Row &row : rows) {
        record[KEY_TO] = row.to;
        record[KEY_BODY] = row.body;
        EXPECT_FALSE(record.DeliverByMapi());
        EXPECT_EQ(record.GetError(), row.error);
    }
    EXPECT_EQ(fake.Loads(), 0);
}

}  // namespace
