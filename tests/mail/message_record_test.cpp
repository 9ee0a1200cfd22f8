// CMessageRecord: merging and the choice of mailer.
#include "mail/message_record.h"

#include "mail/mailer_calls.h"
#include "settings/game_settings.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

namespace {

int g_chosen = -1;

template <int mailer>
BOOL RecordChoice(CMessageRecord &)
{
    g_chosen = mailer;
    return TRUE;
}

constexpr MailerCalls RECORDING_MAILERS{RecordChoice<MAILER_SMTP>, RecordChoice<MAILER_MAPI>};

class MessageRecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_chosen = -1;
        UseMailerCalls(&RECORDING_MAILERS);
    }
    void TearDown() override { UseMailerCalls(nullptr); }

    CMessageRecord record;
};

struct Choice {
    const char *mailer;  // null: no "Mailer" key
    int chosen;          // the mailer that ran, or -1 when none did
    const char *error;   // m_error afterwards when none ran
};

// The test name and the CTest name show the case, not its bytes.
void PrintTo(const Choice &row, std::ostream *out) { *out << "Mailer=" << (row.mailer ? ::testing::PrintToString(row.mailer) : "absent"); }

class MailerChoiceTest : public MessageRecordTest, public ::testing::WithParamInterface<Choice> {};

TEST_P(MailerChoiceTest, FollowsTheAtoiRule)
{
    const Choice &choice = GetParam();
    record.SetAt(KEY_GAME_NAME, "Alpha");
    if (choice.mailer)
        record.SetAt(KEY_MAILER, choice.mailer);
    record.m_error = "text of an earlier message";
    const BOOL delivered = record.Deliver();
    EXPECT_EQ(g_chosen, choice.chosen);
    EXPECT_EQ(delivered, choice.chosen >= 0 ? TRUE : FALSE);
    if (choice.chosen < 0) {
        EXPECT_EQ(record.GetError(), choice.error);
    }
}

INSTANTIATE_TEST_SUITE_P(Mailers, MailerChoiceTest,
                         ::testing::Values(Choice{nullptr, MAILER_SMTP, ""}, Choice{"", MAILER_SMTP, ""},
                                           Choice{"0", MAILER_SMTP, ""}, Choice{"SMTP", MAILER_SMTP, ""},
                                           Choice{" 1", MAILER_MAPI, ""}, Choice{"1st", MAILER_MAPI, ""},
                                           Choice{"+1", MAILER_MAPI, ""},
                                           Choice{"2", -1, "Alpha No FILE mailer found"},
                                           Choice{"3", -1, "Alpha No mailer 3 found"},
                                           Choice{"-1", -1, "Alpha No mailer -1 found"},
                                           Choice{"99999", -1, "Alpha No mailer 99999 found"}));

TEST_F(MessageRecordTest, FileChoiceWithoutGameNameStartsWithTheEmptyNameAndAddsTheKey)
{
    record.SetAt(KEY_MAILER, "2");
    EXPECT_FALSE(record.Deliver());
    EXPECT_EQ(record.GetError(), " No FILE mailer found");
    CString game("unset");
    EXPECT_TRUE(record.Lookup(KEY_GAME_NAME, game));
    EXPECT_EQ(game, "");
}

}  // namespace
