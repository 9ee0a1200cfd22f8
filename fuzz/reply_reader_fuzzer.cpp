// The session's reply reader on an arbitrary byte stream that arrives in
// arbitrary segments, with interrupted and empty receives between them.
// Whatever the split, the sequence of replies read (result, code, text,
// last error) must be the one read when the stream arrives whole.
//
// Input: byte 0 holds the count n (low four bits) of segment lengths that
// follow; the lengths are used in turn, 0 standing for one receive that
// finds nothing and 255 for one interrupted receive. The rest is the stream.
#include "platform/last_error.h"
#include "smtp/smtp_session.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr unsigned char NOTHING_YET = 0;
constexpr unsigned char INTERRUPTED = 255;

// What the socket hands out; one feed at a time, on the fuzzing thread.
struct Feed {
    std::string_view stream;
    std::vector<unsigned char> lengths;
    std::size_t next = 0;      // index into lengths
    std::size_t position = 0;  // into stream
    std::size_t segmentLeft = 0;
};

Feed g_feed;

long NextSegment()
{
    if (g_feed.lengths.empty()) {
        g_feed.segmentLeft = g_feed.stream.size();
        return 0;
    }
    const unsigned char length = g_feed.lengths[g_feed.next++ % g_feed.lengths.size()];
    if (length == NOTHING_YET || length == INTERRUPTED) {
        errno = length == NOTHING_YET ? EAGAIN : EINTR;
        return -1;
    }
    g_feed.segmentLeft = length;
    return 0;
}

long Receive(int, void *buffer, std::size_t capacity)
{
    if (g_feed.position == g_feed.stream.size())
        return 0;
    if (g_feed.segmentLeft == 0 && NextSegment() < 0)
        return -1;
    const std::size_t count =
        std::min({capacity, g_feed.segmentLeft, g_feed.stream.size() - g_feed.position});
    std::copy_n(g_feed.stream.data() + g_feed.position, count, static_cast<char *>(buffer));
    g_feed.position += count;
    g_feed.segmentLeft -= count;
    return static_cast<long>(count);
}

int Open() { return 7; }
bool Resolve(const char *, std::uint32_t &) { return false; }
int Connect(int, const void *, unsigned) { return 0; }
int ConnectError(int) { return 0; }
long Send(int, const void *, std::size_t length) { return static_cast<long>(length); }
SocketWait Wait(int, const CEvent *, DWORD, bool) { return SocketWait::Readable; }
int Close(int) { return 0; }

constexpr SocketCalls FEED_CALLS{Open, Resolve, Connect, ConnectError, Send, Receive, Wait, Close};

struct Outcome {
    BOOL result;
    int code;
    DWORD error;
    std::string text;
    bool operator==(const Outcome &) const = default;
};

std::vector<Outcome> ReadAll(std::string_view stream, std::vector<unsigned char> lengths)
{
    g_feed = Feed{stream, std::move(lengths)};
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
        if (error == WSAECONNRESET || error == WSAEMSGSIZE)
            break;
    }
    if (outcomes.back().error != WSAECONNRESET && outcomes.back().error != WSAEMSGSIZE)
        std::abort();
    return outcomes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t count = std::min<std::size_t>(data[0] & 0x0F, size - 1);
    std::vector<unsigned char> lengths(data + 1, data + 1 + count);
    const std::string_view stream(reinterpret_cast<const char *>(data + 1 + count), size - 1 - count);
    UseSocketCalls(&FEED_CALLS);
    const bool allHiccups = !lengths.empty() && std::all_of(lengths.begin(), lengths.end(), [](unsigned char length) {
        return length == NOTHING_YET || length == INTERRUPTED;
    });
    if (allHiccups)
        lengths.push_back(1);
    const std::vector<Outcome> split = ReadAll(stream, lengths);
    // Below the cap on one reply, the split cannot change what is read.
    if (stream.size() <= CSmtpSession::MAX_REPLY_LENGTH && split != ReadAll(stream, {}))
        std::abort();
    UseSocketCalls(nullptr);
    return 0;
}
