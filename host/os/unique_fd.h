// UniqueFd: sole owner of a file descriptor, closed when the owner goes.
// Move-only; -1 holds nothing.
#pragma once

#include <utility>

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd &operator=(UniqueFd &&other) noexcept
    {
        if (this != &other) {
            Reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    // Hands the descriptor over to the caller; holds nothing afterwards.
    int Release() { return std::exchange(m_fd, -1); }
    // Closes what it holds; holds nothing afterwards.
    void Reset();

private:
    int m_fd = -1;
};
