#include "fake_mailer.h"

#include "mail/mailer_calls.h"
#include "settings/game_settings.h"

#include <atomic>

namespace {

std::atomic<FakeMailer *> g_current{nullptr};

constexpr DWORD HOLD_DEADLINE_MS = 20000;

BOOL AnswerByCurrent(CMessageRecord &record) { return g_current.load()->Answer(record); }

constexpr MailerCalls FAKE_MAILERS{AnswerByCurrent, AnswerByCurrent};

}  // namespace

FakeMailer::FakeMailer()
{
    g_current = this;
    UseMailerCalls(&FAKE_MAILERS);
}

FakeMailer::~FakeMailer()
{
    UseMailerCalls(nullptr);
    g_current = nullptr;
}

void FakeMailer::SetRule(const std::string &body, MailerRule rule)
{
    std::lock_guard lock(m_mutex);
    m_rules[body] = rule;
}

std::vector<std::string> FakeMailer::Bodies() const
{
    std::lock_guard lock(m_mutex);
    return m_bodies;
}

int FakeMailer::Aborted() const
{
    std::lock_guard lock(m_mutex);
    return m_aborted;
}

MailerRule FakeMailer::Record(const std::string &body)
{
    std::lock_guard lock(m_mutex);
    m_bodies.push_back(body);
    const auto found = m_rules.find(body);
    return found == m_rules.end() ? MailerRule::Succeed : found->second;
}

BOOL FakeMailer::Answer(CMessageRecord &record)
{
    const CString game = record[KEY_GAME_NAME];
    const MailerRule rule = Record(record[KEY_BODY].str());
    if (rule != MailerRule::Succeed && rule != MailerRule::Fail) {
        // Both events are only tested, as a mailer must; the release event
        // stands in for the socket a real mailer waits on.
        const CEvent *abort = rule == MailerRule::HoldIgnoringAbort ? nullptr : record.GetAbortEvent();
        const CEvent *watched[] = {&m_release, abort};
        if (WatchEvents(watched, abort ? 2 : 1, HOLD_DEADLINE_MS) != WAIT_OBJECT_0) {
            std::lock_guard lock(m_mutex);
            ++m_aborted;
            record.m_error = game + " ERR: Aborted";
            return FALSE;
        }
    }
    const bool fail = rule == MailerRule::Fail || rule == MailerRule::HoldThenFail;
    record.m_error = game + (fail ? " ERR: 550 refused" : " ERR: ");
    return fail ? FALSE : TRUE;
}
