// The SMTP reply reader on an arbitrary byte stream that arrives in
// arbitrary segments, with interrupted and empty receives between them
// (input layout: socket_feed.h). Whatever the split, the sequence of
// replies read (error, code, bytes) must be the one read when the stream
// arrives whole, and every complete reply ends with its line end.
#include "platform/last_error.h"
#include "smtp/reply_reader.h"
#include "smtp/smtp_session.h"
#include "socket_feed.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Outcome {
    DWORD error;
    int code;
    std::string bytes;
    bool operator==(const Outcome &) const = default;
};

bool EndsTheStream(DWORD error) { return error == WSAECONNRESET || error == WSAEMSGSIZE; }

Outcome ReadOne(CReplyReader &reader)
{
    char first[CReplyReader::BUFFER_SIZE];
    std::unique_ptr<char[]> grown;
    CReplyBuffer buffer(first, CReplyReader::BUFFER_SIZE, grown, CReplyReader::GROWTH_STEP);
    const SmtpReply reply = reader.Read(buffer, {CSmtpSession::REPLY_TIMEOUT, CSmtpSession::REPLY_LIMIT});
    if (reply.Complete() && !reply.bytes.ends_with("\r\n"))
        std::abort();
    return {reply.error, reply.code, std::string(reply.bytes)};
}

std::vector<Outcome> ReadAll(std::string_view stream, std::vector<unsigned char> lengths)
{
    socket_feed::Start(stream, std::move(lengths));
    CClientSocket socket;
    socket.Create();
    CReplyReader reader(socket);
    std::vector<Outcome> outcomes;
    // Every reply read takes at least one line end; a closed stream ends it.
    for (std::size_t round = 0; round <= stream.size() / 2 + 1; ++round) {
        outcomes.push_back(ReadOne(reader));
        if (EndsTheStream(outcomes.back().error))
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
    if (input.stream.size() <= CReplyReader::MAX_REPLY_LENGTH && split != ReadAll(input.stream, {}))
        std::abort();
    return 0;
}
