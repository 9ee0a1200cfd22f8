// SocketFeed: a socket-call table for the harnesses that hands out a
// server's byte stream in segments, with receives that find nothing or are
// interrupted between them, records every byte sent, and reads as closed
// once the stream is spent. One feed at a time, on the fuzzing thread.
//
// Input layout: byte 0 holds the count n (low four bits) of segment lengths
// that follow; the lengths are used in turn, 0 standing for one receive
// that finds nothing and 255 for one interrupted receive. The rest is the
// stream.
#pragma once

#include "smtp/send_pieces.h"
#include "smtp/socket_calls.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace socket_feed {

constexpr unsigned char NOTHING_YET = 0;
constexpr unsigned char INTERRUPTED = 255;

struct State {
    std::string_view stream;
    std::vector<unsigned char> lengths;  // empty: the stream arrives whole
    std::size_t next = 0;
    std::size_t position = 0;
    std::size_t segmentLeft = 0;
    std::string written;
};

inline State &Current()
{
    static State state;
    return state;
}

inline long NextSegment(State &feed)
{
    if (feed.lengths.empty()) {
        feed.segmentLeft = feed.stream.size();
        return 0;
    }
    const unsigned char length = feed.lengths[feed.next++ % feed.lengths.size()];
    if (length == NOTHING_YET || length == INTERRUPTED) {
        errno = length == NOTHING_YET ? EAGAIN : EINTR;
        return -1;
    }
    feed.segmentLeft = length;
    return 0;
}

inline long Receive(SocketHandle, void *buffer, std::size_t capacity)
{
    State &feed = Current();
    if (feed.position == feed.stream.size())
        return 0;
    if (feed.segmentLeft == 0 && NextSegment(feed) < 0)
        return -1;
    const std::size_t count = std::min({capacity, feed.segmentLeft, feed.stream.size() - feed.position});
    std::copy_n(feed.stream.data() + feed.position, count, static_cast<char *>(buffer));
    feed.position += count;
    feed.segmentLeft -= count;
    return static_cast<long>(count);
}

inline long Send(SocketHandle, std::span<const std::string_view> pieces)
{
    const std::size_t length = TotalSize(pieces);
    AppendFront(pieces, length, Current().written);
    return static_cast<long>(length);
}

inline SocketHandle Open(int) { return 7; }
inline DWORD Resolve(const char *, unsigned short, const CEvent *, DWORD, SocketAddresses &) { return 10022; }
inline int Connect(SocketHandle, const void *, unsigned) { return 0; }
inline int ConnectError(SocketHandle) { return 0; }
inline SocketWait Wait(SocketHandle, const CEvent *, DWORD, bool) { return SocketWait::Readable; }
inline int Close(SocketHandle) { return 0; }
inline bool LocalAddress(SocketHandle, SocketAddress &) { return false; }
// The machine's name in every harness; the client's HELO and EHLO give it.
inline constexpr std::string_view HOST_NAME = "fuzz.example.org";
inline int HostName(char *name, std::size_t length)
{
    name[HOST_NAME.copy(name, length - 1)] = '\0';
    return 0;
}

inline constexpr SocketCalls CALLS{Open, Resolve, Connect, ConnectError, Send, Receive, Wait, Close, LocalAddress,
                                   HostName};

// Splits a harness input into segment lengths and the stream.
struct Input {
    std::vector<unsigned char> lengths;
    std::string_view stream;
};

inline Input Split(const std::uint8_t *data, std::size_t size)
{
    const std::size_t count = size ? std::min<std::size_t>(data[0] & 0x0F, size - 1) : 0;
    Input input{{data + std::min<std::size_t>(size, 1), data + std::min<std::size_t>(size, 1) + count}, {}};
    const std::size_t skip = std::min<std::size_t>(size, 1) + count;
    input.stream = std::string_view(reinterpret_cast<const char *>(data + skip), size - skip);
    // A plan of hiccups alone would never deliver a byte.
    const bool onlyHiccups = !input.lengths.empty() && std::all_of(input.lengths.begin(), input.lengths.end(),
        [](unsigned char length) { return length == NOTHING_YET || length == INTERRUPTED; });
    if (onlyHiccups)
        input.lengths.push_back(1);
    return input;
}

// Starts a feed of `stream` in the given segments and installs the table.
inline void Start(std::string_view stream, std::vector<unsigned char> lengths)
{
    State &feed = Current();
    feed = State();
    feed.stream = stream;
    feed.lengths = std::move(lengths);
    UseSocketCalls(&CALLS);
}

inline void Stop() { UseSocketCalls(nullptr); }

}  // namespace socket_feed
