// A whole conversation (greeting, HELO, one mail transaction, QUIT) with a
// server that answers anything, in any segments (input layout:
// socket_feed.h). The client only ever writes a prefix of the one correct
// transcript, and reports the mail sent only when that transcript went out
// whole, with its end of data.
#include "smtp/smtp_session.h"
#include "socket_feed.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

CMailMessage Turn()
{
    CMailMessage message;
    message.m_from = CMailAddress(CString("player@example.org"));
    message.m_subject = "Turn";
    message.ParseAddressList("server@example.org; Bob <bob@example.org>", ADDRESS_TO);
    message.SetBody(".\r\nturn\n.");
    return message;
}

std::string Transcript(const CMailMessage &message)
{
    return "HELO " + std::string(socket_feed::HOST_NAME) +
           "\r\nMAIL FROM:<player@example.org>\r\nRCPT TO:<server@example.org>\r\n"
           "RCPT TO:<bob@example.org>\r\nDATA\r\n" +
           message.BuildHeader().str() + message.m_body.str() + "\r\n.\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const CMailMessage message = Turn();
    static const std::string transcript = Transcript(message);
    const socket_feed::Input input = socket_feed::Split(data, size);
    socket_feed::Start(input.stream, input.lengths);
    BOOL sent = FALSE;
    {
        CSmtpSession session;
        if (session.Connect("192.0.2.1", 25))
            sent = session.SendMail(message);
        session.Disconnect();
    }
    std::string written = socket_feed::Current().written;
    socket_feed::Stop();
    const std::size_t quit = written.size() >= 6 && written.ends_with("QUIT\r\n") ? written.size() - 6 : written.size();
    written.resize(quit);
    if (transcript.compare(0, written.size(), written) != 0)
        std::abort();
    if (sent && written != transcript)
        std::abort();
    return 0;
}
