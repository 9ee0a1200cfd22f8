// FakeMailer: stands in for the SMTP and MAPI mailers while it lives. Each
// delivery is recorded by its "Body" and answered by the rule set for that
// body (success by default). Deliveries run on the sender thread; the test
// scripts and reads from its own thread.
#pragma once

#include "mail/message_record.h"
#include "platform/event.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

struct MailerRule {
    bool succeed = true;
    bool hold = false;       // wait for Release() (or the abort) first
    bool watchAbort = true;  // a held delivery ends on the abort
};

class FakeMailer {
public:
    using Rule = MailerRule;
    static constexpr Rule SUCCEED{};
    static constexpr Rule FAIL{false, false, true};
    static constexpr Rule HOLD{true, true, true};
    static constexpr Rule HOLD_IGNORING_ABORT{true, true, false};

    FakeMailer();
    ~FakeMailer();
    FakeMailer(const FakeMailer &) = delete;
    FakeMailer &operator=(const FakeMailer &) = delete;

    void SetRule(const std::string &body, Rule rule);
    // Lets every held delivery, now and later, go on.
    void Release() { m_release.SetEvent(); }

    std::vector<std::string> Bodies() const;
    std::size_t Calls() const;
    // Mailer numbers in delivery order.
    std::vector<int> Mailers() const;
    // Deliveries that ended because the abort event was set.
    std::size_t Aborted() const;

private:
    static BOOL Deliver(CMessageRecord &record, int mailer);
    BOOL Answer(CMessageRecord &record, int mailer);
    // Records the call; the rule for its body.
    Rule Record(const std::string &body, int mailer);
    // True when released, false when aborted (or after a long deadline).
    bool WaitForRelease(const CEvent *abort);

    mutable std::mutex m_mutex;
    std::map<std::string, Rule> m_rules;  // guarded by m_mutex
    std::vector<std::string> m_bodies;    // guarded by m_mutex
    std::vector<int> m_mailers;           // guarded by m_mutex
    std::size_t m_aborted = 0;            // guarded by m_mutex
    CEvent m_release;
};
