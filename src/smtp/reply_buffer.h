// CReplyBuffer: the bytes of one SMTP reply while the reader collects them.
// They sit in the caller's buffer at first, then in buffers grown by a
// fixed step that the caller's `grown` pointer owns, always zero-terminated
// after the received bytes. One reader uses it for one reply.
#pragma once

#include <memory>
#include <string_view>

class CReplyBuffer {
public:
    CReplyBuffer(char *buffer, int capacity, std::unique_ptr<char[]> &grown, int step);

    std::string_view View() const { return {m_data, static_cast<std::size_t>(m_received)}; }
    int Capacity() const { return m_capacity; }
    // Bytes that a receive may write at End(), leaving room for the zero.
    int Room() const;
    char *End() const { return m_data + m_received; }

    void Append(std::string_view bytes);
    // Takes `count` bytes written at End(); a receive that filled the room
    // grows the buffer at once, even when the reply happens to be complete.
    void Commit(int count);

private:
    void Grow();

    char *m_data;
    int m_capacity;
    int m_received = 0;
    std::unique_ptr<char[]> &m_grown;
    int m_step;
};
