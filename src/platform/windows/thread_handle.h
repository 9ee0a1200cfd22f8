// ThreadHandle: sole owner of a thread's handle from CreateThread, with the
// joinable, join and detach of the standard thread that CWorkerThread uses
// elsewhere. Move-only.
#pragma once

#include "platform/windows/windows_api.h"

#include <utility>

class ThreadHandle {
public:
    ThreadHandle() = default;
    explicit ThreadHandle(HANDLE handle) : m_handle(handle) {}
    ~ThreadHandle() { detach(); }
    ThreadHandle(ThreadHandle &&other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    ThreadHandle &operator=(ThreadHandle &&other) noexcept
    {
        if (this != &other) {
            detach();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }

    HANDLE Get() const { return m_handle; }
    bool joinable() const { return m_handle != nullptr; }
    // Waits for the thread's end, then lets the handle go.
    void join()
    {
        WaitForSingleObject(m_handle, INFINITE);
        detach();
    }
    // Lets the handle go; the thread runs on.
    void detach()
    {
        if (m_handle)
            CloseHandle(std::exchange(m_handle, nullptr));
    }

private:
    HANDLE m_handle = nullptr;
};
