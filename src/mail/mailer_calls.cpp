#include "mail/mailer_calls.h"

#include "mail/message_record.h"

#include <atomic>

namespace {

constexpr MailerCalls SYSTEM_MAILERS{[](CMessageRecord &record) { return record.DeliverBySmtp(); },
                                     [](CMessageRecord &record) { return record.DeliverByMapi(); }};

std::atomic<const MailerCalls *> g_mailerCalls{&SYSTEM_MAILERS};

}  // namespace

const MailerCalls &CurrentMailerCalls() { return *g_mailerCalls.load(); }

void UseMailerCalls(const MailerCalls *calls) { g_mailerCalls.store(calls ? calls : &SYSTEM_MAILERS); }
