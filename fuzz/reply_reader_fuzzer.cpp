// The session's reply reader on an arbitrary byte stream that arrives in
// arbitrary segments, with interrupted and empty receives between them
// (input layout: socket_feed.h). Whatever the split, the sequence of
// replies read (result, code, text, last error) must be the one read when
// the stream arrives whole.
#include "platform/last_error.h"
#include "smtp/smtp_session.h"
#include "socket_feed.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Outcome {
    BOOL result;
    int code;
    DWORD error;
    std::string text;
    bool operator==(const Outcome &) const = default;
};

bool EndsTheStream(DWORD error) { return error == WSAECONNRESET || error == WSAEMSGSIZE; }

std::vector<Outcome> ReadAll(std::string_view stream, std::vector<unsigned char> lengths)
{
    socket_feed::Start(stream, std::move(lengths));
    CSmtpSession session;
    session.Socket().Create();
    std::vector<Outcome> outcomes;
    // Every reply read takes at least one line end; a closed stream ends it.
    for (std::size_t round = 0; round <= stream.size() / 2 + 1; ++round) {
        SetLastError(0);
        const BOOL result = session.ExpectReply(250);
        const DWORD error = result ? 0 : GetLastError();
        outcomes.push_back({result, session.m_replyCode, error, session.GetLastReply().str()});
        if (result && session.m_replyCode != 250)
            std::abort();
        if (EndsTheStream(error))
            break;
    }
    if (!EndsTheStream(outcomes.back().error))
        std::abort();
    socket_feed::Stop();
    return outcomes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const socket_feed::Input input = socket_feed::Split(data, size);
    const std::vector<Outcome> split = ReadAll(input.stream, input.lengths);
    // Below the cap on one reply, the split cannot change what is read.
    if (input.stream.size() <= CSmtpSession::MAX_REPLY_LENGTH && split != ReadAll(input.stream, {}))
        std::abort();
    return 0;
}
