// The "ServerSMTP" setting: a host name or dotted IPv4 address, optionally
// followed by ":port" (decimal, 1-65535); an IPv6 literal in brackets,
// optionally followed by ":port" ("[2001:db8::1]:587"), or bare. Anything
// else is taken whole as the host, on the default port (SMTP's 25, or 465
// for TLS from the first byte).
#pragma once

#include "platform/cstring.h"

constexpr int SMTP_PORT = 25;
constexpr int SMTPS_PORT = 465;

struct SmtpServerAddress {
    CString host;
    int port = SMTP_PORT;
};

SmtpServerAddress ParseSmtpServer(const CString &setting, int defaultPort = SMTP_PORT);
