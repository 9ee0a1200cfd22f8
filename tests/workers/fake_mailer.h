// FakeMailer: stands in for the SMTP and MAPI mailers while it lives. It
// records each delivery's "Body" and answers by the rule set for that body
// (success by default). Deliveries run on the sender thread; the test
// scripts and reads from its own thread.
#pragma once

#include "mail/message_record.h"
#include "platform/event.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

enum class MailerRule {
    Succeed,
    Fail,
    HoldThenSucceed,     // until Release(); fails at once on the abort
    HoldThenFail,        // the same, then fails
    HoldIgnoringAbort,   // until Release(), then succeeds
};

class FakeMailer {
public:
    FakeMailer();
    ~FakeMailer();
    FakeMailer(const FakeMailer &) = delete;
    FakeMailer &operator=(const FakeMailer &) = delete;

    void SetRule(const std::string &body, MailerRule rule);
    // Lets every held delivery, now and later, go on.
    void Release() { m_release.SetEvent(); }

    std::vector<std::string> Bodies() const;
    // Deliveries that ended on the abort event.
    int Aborted() const;

    // One delivery, as the mailers of the fake's MailerCalls make it.
    BOOL Answer(CMessageRecord &record);

private:
    MailerRule Record(const std::string &body);

    mutable std::mutex m_mutex;
    std::map<std::string, MailerRule> m_rules;  // guarded by m_mutex
    std::vector<std::string> m_bodies;          // guarded by m_mutex
    int m_aborted = 0;                          // guarded by m_mutex
    CEvent m_release;
};
