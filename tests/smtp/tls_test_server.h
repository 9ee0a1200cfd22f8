// TlsTestServer: a TLS server for one connection on 127.0.0.1. It
// completes the handshake with the test certificate it is given, writes the
// greeting in one TLS record, then answers each read (one record: a line,
// or a group of them) with the next reply, each in one record after its
// pause, and after the last reads on until the client closes, keeping what
// it read. With TlsHandshake::Never it accepts TCP and never answers the
// ClientHello, until the object goes; with TlsHandshake::Tls11Only it
// speaks nothing newer than TLS 1.1 (an RSA certificate and a cipher of
// that time). OpenSSL in the test program here; on Windows, where the test
// program has no TLS server, Python's on the Linux side.
#pragma once

#include "platform/win_types.h"

#include <string>
#include <utility>

// A text alone is a reply sent at once.
struct TlsReply {
    TlsReply(std::string replyText, DWORD pause = 0) : text(std::move(replyText)), pauseMs(pause) {}  // NOLINT
    TlsReply(const char *replyText, DWORD pause = 0) : TlsReply(std::string(replyText), pause) {}     // NOLINT
    std::string text;
    DWORD pauseMs;  // after the line it answers
};

enum class TlsHandshake { Complete, Never, Tls11Only };

#if defined(_WIN32)
#include "smtp/windows/tls_test_server.h"
#else
#include "smtp/posix/tls_test_server.h"
#endif
