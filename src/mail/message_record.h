// CMessageRecord: the sender's one working record, g_currentMessage. It
// holds the message's pairs merged with its game's settings, picks the
// mailer from "Mailer", and keeps the last mailer's error text. It is never
// cleared: a message that lacks one of the lasting keys ("GameName",
// "Mailer", "ServerSMTP", "From", "To", "Subject", "Action", "Body") is
// delivered with an earlier message's value. Only the sender thread
// touches it.
#pragma once

#include "platform/map_string_to_string.h"

class CEvent;

class CMessageRecord : public CMapStringToString {
public:
    CMessageRecord();
    ~CMessageRecord() override;

    // Writes every pair of `source` into the record, replacing equal keys.
    void Merge(const CMapStringToString &source);
    // Removes every key but the lasting ones, before the next message is
    // merged: any other key ("Security", "Login", a key the host made up)
    // comes from that message and its game alone, so no earlier game's
    // connection or login reaches this delivery or its record.
    void ForgetPerMessageKeys();
    // Delivers by the mailer "Mailer" names, through the current
    // MailerCalls. Nonzero when handed to the mail system; zero with m_error
    // set otherwise.
    BOOL Deliver();
    // The plug-in's own mailers (smtp_delivery.h, mapi_delivery.h).
    BOOL DeliverBySmtp();
    BOOL DeliverByMapi();
    CString GetError() const { return m_error; }

    // The stop request that every wait of a delivery watches; the mailers
    // only test it, never reset it. May be null. The reply to the end of
    // an SMTP mail may still come for `lastReplyGrace` ms after it: the
    // server may be storing the message.
    void SetAbortEvent(const CEvent *abort, DWORD lastReplyGrace = 0)
    {
        m_pAbortEvent = abort;
        m_dwLastReplyGrace = lastReplyGrace;
    }
    const CEvent *GetAbortEvent() const { return m_pAbortEvent; }
    DWORD GetLastReplyGrace() const { return m_dwLastReplyGrace; }

    CString m_error;

private:
    const CEvent *m_pAbortEvent = nullptr;
    DWORD m_dwLastReplyGrace = 0;
};

extern CMessageRecord g_currentMessage;  // written by the sender thread only
