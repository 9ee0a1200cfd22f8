// SmtpScript: what the loopback SMTP server does on one connection, step
// by step: replies (whole, in pieces, byte by byte), pauses, silence, a
// close, and reading lines or mail content. After the last step the server
// records what still arrives until the client closes. A value, built by
// the thread that hands it to the server.
#pragma once

#include "platform/win_types.h"

#include <string>
#include <vector>

class SmtpScript {
public:
    enum class Kind { Reply, Pause, Silence, Close, ExpectLine, ReadData };
    struct Step {
        Kind kind;
        std::vector<std::string> pieces;  // Reply: sent one by one
        DWORD pauseMs = 0;                // Reply: between pieces; Pause: its length
    };

    // Sends `text` in one piece.
    SmtpScript &Reply(std::string text) { return Add({Kind::Reply, {std::move(text)}, 0}); }
    // Sends the pieces one by one with `pauseMs` between them.
    SmtpScript &ReplyInPieces(std::vector<std::string> pieces, DWORD pauseMs);
    // Sends `text` one byte at a time, `pauseMs` apart.
    SmtpScript &Dribble(const std::string &text, DWORD pauseMs);
    SmtpScript &Pause(DWORD ms) { return Add({Kind::Pause, {}, ms}); }
    // Sends nothing more and records what arrives until the client closes.
    SmtpScript &StaySilent() { return Add({Kind::Silence, {}, 0}); }
    SmtpScript &Close() { return Add({Kind::Close, {}, 0}); }
    // Reads one command line.
    SmtpScript &ExpectLine() { return Add({Kind::ExpectLine, {}, 0}); }
    // Reads mail content through its end-of-data line.
    SmtpScript &ReadData() { return Add({Kind::ReadData, {}, 0}); }

    const std::vector<Step> &Steps() const { return m_steps; }

private:
    SmtpScript &Add(Step step);

    std::vector<Step> m_steps;
};
