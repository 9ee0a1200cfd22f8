// CReplyReader: reads the server's replies off one connection, one at a
// time and in the order they come. It waits for the socket (and the abort)
// within the bounds of each read, collects the bytes, finds where the reply
// ends and keeps what came after it for the next read. It reports what a
// read came to and says nothing itself: the SMTP session that owns it
// explains. Used on the session's thread only.
#pragma once

#include "platform/win_types.h"
#include "smtp/client_socket.h"
#include "smtp/reply_buffer.h"
#include "smtp/reply_deadline.h"

#include <optional>
#include <string>
#include <string_view>

// What one read came to. The views point into the read's buffer.
struct SmtpReply {
    // 0 for a complete reply; else what ended the read: WSAETIMEDOUT when a
    // bound ran out, WSAECONNRESET when the server closed, WSAEMSGSIZE past
    // MAX_REPLY_LENGTH bytes, WSAEINTR on abort, or the system's error.
    DWORD error = 0;
    // The code that every line of a complete reply carries; 0 when the
    // reply is malformed (a line without a code, or lines that disagree).
    int code = 0;
    std::string_view bytes;  // the reply through its last line end; what had arrived when the read failed
    std::string_view text;   // the server's words: the bytes without the last line end
    DWORD expiredBound = 0;  // after WSAETIMEDOUT: the bound that ran out, in ms

    bool Complete() const { return error == 0; }
};

class CReplyReader {
public:
    static constexpr DWORD POLL_INTERVAL = 250;
    static constexpr int BUFFER_SIZE = 256;  // on the stack: short replies need no heap
    static constexpr int GROWTH_STEP = 4096;
    static constexpr int MAX_REPLY_LENGTH = 65536;

    explicit CReplyReader(CClientSocket &connection) : m_connection(connection) {}

    // Reads the next reply into `buffer` within `bounds`, its lines ending
    // in `lineEnd`. A failed read drops the bytes it had taken.
    SmtpReply Read(CReplyBuffer &buffer, ReplyBounds bounds, std::string_view lineEnd = "\r\n");
    // Whether bytes came after the last reply that no read has taken yet.
    bool HasPending() const { return !m_pending.empty(); }
    // Forgets them, with the connection they came on.
    void Forget() { m_pending.clear(); }

private:
    std::optional<DWORD> ReceiveMore(CReplyBuffer &buffer, CReplyDeadline &deadline);

    CClientSocket &m_connection;
    std::string m_pending;  // bytes received after the end of the last reply
};
