// CTransportApp: the plug-in's application object and its channel to the
// host window. Every report reaches the host as one SendMessageA to
// m_hwndHost with m_nHostMessage, the kind as wParam and the payload as
// lParam. Workers and mailers include this header to notify; it does not
// declare the entry points.
#pragma once

#include "platform/cstring.h"
#include "platform/win_app.h"
#include "platform/win_types.h"
#include "platform/worker_thread.h"

#include <atomic>
#include <memory>

class CMessageRecord;

// Notification kinds (wParam).
constexpr WPARAM TN_TEXT = 0;
constexpr WPARAM TN_STATUS = 4;
constexpr WPARAM TN_SENT = 6;

// Bits of the status word.
constexpr DWORD TS_SENDING = 0x01;
constexpr DWORD TS_CHECKING = 0x02;
constexpr DWORD TS_UNSENT = 0x04;
constexpr DWORD TS_BUSY = 0x08;

class CTransportApp : public CWinApp {
public:
    CTransportApp();

    // Written by OnLoad on the host's thread, read by every notifier.
    std::atomic<HWND> m_hwndHost{nullptr};
    std::atomic<UINT> m_nHostMessage{0};
    // Touched only on the host's thread (OnLoad, OnClose).
    std::unique_ptr<CWorkerThread> m_hDispatcherThread;
    // Changed only by NotifyStatus.
    std::atomic<DWORD> m_dwStatus{0};

    void NotifyText(const char *text);
    // Clears `clearMask`, then sets `setMask`, as one atomic step, and sends
    // the word this update produced; also when nothing changed.
    void NotifyStatus(DWORD clearMask, DWORD setMask);
    void NotifySent(CMessageRecord *record);
    // Text `id` of the plug-in's own string table; empty when absent.
    CString LoadText(UINT id);
    // Text `id` used as a printf format. The table's formats take only %s
    // (const char *) and %lu (unsigned long): pass exactly those.
    CString FormatText(UINT id, ...);

    void StartDispatcher();
    void StopDispatcher();

private:
    void Notify(WPARAM kind, LPARAM payload);
};

extern CTransportApp theApp;
