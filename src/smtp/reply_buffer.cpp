#include "smtp/reply_buffer.h"

#include <algorithm>
#include <cstring>

CReplyBuffer::CReplyBuffer(char *buffer, int capacity, std::unique_ptr<char[]> &grown, int step)
    : m_data(buffer), m_capacity(capacity), m_grown(grown), m_step(std::max(step, 1))
{
    if (m_capacity < 1)
        Grow();
    m_data[0] = '\0';
}

int CReplyBuffer::Room() const { return std::max(m_capacity - m_received - 1, 0); }

void CReplyBuffer::Append(std::string_view bytes)
{
    while (static_cast<std::size_t>(Room()) < bytes.size())
        Grow();
    std::memcpy(End(), bytes.data(), bytes.size());
    Commit(static_cast<int>(bytes.size()));
}

void CReplyBuffer::Commit(int count)
{
    const bool filled = count == Room();
    m_received += count;
    m_data[m_received] = '\0';
    if (filled)
        Grow();
}

void CReplyBuffer::Grow()
{
    const int capacity = std::max(m_capacity, 0) + m_step;
    auto bigger = std::make_unique<char[]>(static_cast<std::size_t>(capacity));
    if (m_received > 0)
        std::memcpy(bigger.get(), m_data, static_cast<std::size_t>(m_received));
    bigger[static_cast<std::size_t>(m_received)] = '\0';
    m_data = bigger.get();
    m_capacity = capacity;
    m_grown = std::move(bigger);
}
