// CMutex: a re-entrant lock; the thread that holds it may take it again.
// Take it only through scoped guards: std::lock_guard<CMutex>.
#pragma once

#include <mutex>

class CMutex {
public:
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    bool try_lock() { return m_mutex.try_lock(); }

private:
    std::recursive_mutex m_mutex;
};
