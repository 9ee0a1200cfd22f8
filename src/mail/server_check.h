// A server check: a message whose "QuitBeforeMail" is "1" asks the SMTP
// mailer to go as far as the login and QUIT before MAIL FROM, sending
// nothing. It always ends as a failure with its own text, so that no host
// takes it for a delivered turn. Sender thread.
#pragma once

#include "mail/message_record.h"

// The record asks for a server check rather than a delivery.
bool IsServerCheck(const CMessageRecord &record);
// m_error of a check whose session went through: MORV_SERVER_CHECK_PASSED.
void SetServerCheckPassed(CMessageRecord &record);
// A mailer other than SMTP cannot check a server and must not send the
// message: FALSE with m_error saying so.
BOOL RefuseServerCheck(CMessageRecord &record);
