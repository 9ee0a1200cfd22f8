// A session that asks for STARTTLS and a login, against a server that
// answers anything in any segments (input layout: socket_feed.h), the TLS
// handshake included: the bytes reach OpenSSL through the socket-call
// table. No answer can carry a certificate that verifies, so the session
// never connects, and nothing goes out in the clear but EHLO and STARTTLS;
// what follows them is TLS.
#include "smtp/smtp_session.h"
#include "socket_feed.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::string clear = "EHLO " + std::string(socket_feed::HOST_NAME) + "\r\nSTARTTLS\r\n";
    constexpr char TLS_HANDSHAKE_RECORD = 0x16;
    const socket_feed::Input input = socket_feed::Split(data, size);
    socket_feed::Start(input.stream, input.lengths);
    BOOL connected = FALSE;
    {
        CSmtpSession session;
        session.SetSecurity(SmtpSecurity::StartTls);
        session.SetLogin("me@example.org", "secret");
        connected = session.Connect("192.0.2.1", 587);
        session.Disconnect();
    }
    const std::string written = socket_feed::Current().written;
    socket_feed::Stop();
    const std::size_t inClear = std::min(written.size(), clear.size());
    if (connected || written.compare(0, inClear, clear, 0, inClear) != 0)
        std::abort();
    if (written.size() > clear.size() && written[clear.size()] != TLS_HANDSHAKE_RECORD)
        std::abort();
    return 0;
}
