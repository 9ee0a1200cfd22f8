// How the SMTP client reaches the server of a record: "ServerSMTP",
// "Security", "Login" and "TlsCaFile", and the login's password from the
// netrc file. Absent keys keep the plain session of old. Read on the
// sender thread for one delivery.
#pragma once

#include "mail/message_record.h"
#include "mail/smtp_server_address.h"
#include "smtp/smtp_session.h"

struct SmtpConnectionSettings {
    SmtpServerAddress server;
    SmtpSecurity security = SmtpSecurity::None;
    CString caFile;
    CString login;     // empty: no AUTH
    CString password;  // from the netrc entry of the server's host and the login
};

// Empty text when the record can be sent as `settings` says, else the text
// of what keeps it from being sent; nothing needs the server. Only
// "ServerSMTP" is read through the index operator, as it always was.
CString ReadSmtpConnectionSettings(CMessageRecord &record, SmtpConnectionSettings &settings);
