// CMessageRecord: the sender's one working record, g_currentMessage. It
// holds the message's pairs merged with its game's settings, picks the
// mailer from "Mailer", and keeps the last mailer's error text. It is never
// cleared. Only the sender thread touches it.
#pragma once

#include "platform/map_string_to_string.h"

class CEvent;

class CMessageRecord : public CMapStringToString {
public:
    CMessageRecord();
    ~CMessageRecord() override;

    // Writes every pair of `source` into the record, replacing equal keys.
    void Merge(const CMapStringToString &source);
    // Delivers by the mailer "Mailer" names, through the current
    // MailerCalls. Nonzero when handed to the mail system; zero with m_error
    // set otherwise.
    BOOL Deliver();
    // The plug-in's own mailers (smtp_delivery.h, mapi_delivery.h).
    BOOL DeliverBySmtp();
    BOOL DeliverByMapi();
    CString GetError() const { return m_error; }

    // The stop request that every wait of a delivery watches; the mailers
    // only test it, never reset it. May be null.
    void SetAbortEvent(const CEvent *abort) { m_pAbortEvent = abort; }
    const CEvent *GetAbortEvent() const { return m_pAbortEvent; }

    CString m_error;

private:
    const CEvent *m_pAbortEvent = nullptr;
};

extern CMessageRecord g_currentMessage;  // written by the sender thread only
