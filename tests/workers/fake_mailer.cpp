#include "fake_mailer.h"

#include "settings/game_settings.h"

#include <atomic>

namespace {

std::atomic<FakeMailer *> g_current{nullptr};

constexpr DWORD HOLD_DEADLINE_MS = 20000;

}  // namespace

FakeMailer::FakeMailer()
{
    g_current = this;
    g_pfnMailerStandIn = &FakeMailer::Deliver;
}

FakeMailer::~FakeMailer()
{
    g_pfnMailerStandIn = nullptr;
    g_current = nullptr;
}

void FakeMailer::SetRule(const std::string &body, Rule rule)
{
    std::lock_guard lock(m_mutex);
    m_rules[body] = rule;
}

std::vector<std::string> FakeMailer::Bodies() const
{
    std::lock_guard lock(m_mutex);
    return m_bodies;
}

std::size_t FakeMailer::Calls() const
{
    std::lock_guard lock(m_mutex);
    return m_bodies.size();
}

std::vector<int> FakeMailer::Mailers() const
{
    std::lock_guard lock(m_mutex);
    return m_mailers;
}

std::size_t FakeMailer::Aborted() const
{
    std::lock_guard lock(m_mutex);
    return m_aborted;
}

BOOL FakeMailer::Deliver(CMessageRecord &record, int mailer) { return g_current.load()->Answer(record, mailer); }

FakeMailer::Rule FakeMailer::Record(const std::string &body, int mailer)
{
    std::lock_guard lock(m_mutex);
    m_bodies.push_back(body);
    m_mailers.push_back(mailer);
    const auto found = m_rules.find(body);
    return found == m_rules.end() ? SUCCEED : found->second;
}

BOOL FakeMailer::Answer(CMessageRecord &record, int mailer)
{
    const CString game = record[KEY_GAME_NAME];
    const Rule rule = Record(record[KEY_BODY].str(), mailer);
    if (rule.hold && !WaitForRelease(rule.watchAbort ? record.GetAbortEvent() : nullptr)) {
        std::lock_guard lock(m_mutex);
        ++m_aborted;
        record.m_error = game + " ERR: Aborted";
        return FALSE;
    }
    record.m_error = game + (rule.succeed ? " ERR: " : " ERR: 550 refused");
    return rule.succeed ? TRUE : FALSE;
}

bool FakeMailer::WaitForRelease(const CEvent *abort)
{
    // Both events are only tested, as a mailer must: the release event's
    // handle stands in for the socket a real mailer would wait on.
    return WaitForSocketOrEvent(m_release.PollHandle(), abort, HOLD_DEADLINE_MS) == SocketWait::Readable;
}
