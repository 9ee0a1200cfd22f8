// CTransportApp: the plug-in's application object and its channel to the
// host window. Every report reaches the host as one SendMessageA to
// m_hwndHost with m_nHostMessage, the kind as wParam and the payload as
// lParam. Workers and mailers include this header to notify; it does not
// declare the entry points.
#pragma once

#include "morvtransport/morvtransport.h"
#include "platform/cstring.h"
#include "platform/host_window.h"
#include "platform/win_app.h"
#include "platform/win_types.h"
#include "platform/worker_thread.h"

#include <atomic>
#include <memory>
#include <span>

class CMessageRecord;

// Notification kinds (wParam) and the bits of the status word, under the
// names the plug-in uses; the public header holds the numbers.
constexpr WPARAM TN_TEXT = MORV_TN_TEXT;
constexpr WPARAM TN_STATUS = MORV_TN_STATUS;
constexpr WPARAM TN_SENT = MORV_TN_SENT;

constexpr DWORD TS_SENDING = MORV_TS_SENDING;
constexpr DWORD TS_CHECKING = MORV_TS_CHECKING;
constexpr DWORD TS_UNSENT = MORV_TS_UNSENT;
constexpr DWORD TS_BUSY = MORV_TS_BUSY;

class CTransportApp : public CWinApp {
public:
    CTransportApp();

    // Written by OnLoad on the host's thread, read by every notifier.
    std::atomic<HWND> m_hwndHost{nullptr};
    std::atomic<UINT> m_nHostMessage{0};
    // Started and stopped by the dispatcher's functions, on the host's
    // thread only (OnLoad, OnClose).
    std::unique_ptr<CWorkerThread> m_hDispatcherThread;
    // Changed only by UpdateStatus (NotifyStatus, a notification series).
    std::atomic<DWORD> m_dwStatus{0};

    void NotifyText(const char *text);
    // Clears `clearMask`, then sets `setMask`, as one atomic step, and sends
    // the word this update produced; also when nothing changed.
    void NotifyStatus(DWORD clearMask, DWORD setMask);
    void NotifySent(CMessageRecord *record);
    // Notifications of the kinds above, each handed over when the one
    // before has returned (SendMessageSeries): `series` holds each kind and
    // payload.
    void NotifySeries(std::span<const MessageParameters> series);
    // The update of NotifyStatus without the notification: the new word.
    DWORD UpdateStatus(DWORD clearMask, DWORD setMask);
    // Text `id` of the plug-in's own string table; empty when absent.
    CString LoadText(UINT id);
    // Text `id` used as a printf format. The table's formats take only %s
    // (const char *) and %lu (unsigned long): pass exactly those.
    CString FormatText(UINT id, ...);

private:
    void Notify(WPARAM kind, LPARAM payload);
};

extern CTransportApp theApp;
