#include "app/transport_app.h"

#include "platform/host_window.h"
#include "resources/plugin_resources.h"

#include <cstdarg>

CTransportApp::CTransportApp() : CWinApp(PluginInstance()) {}

void CTransportApp::Notify(WPARAM kind, LPARAM payload)
{
    const MessageParameters notification{kind, payload};
    NotifySeries(std::span(&notification, 1));
}

void CTransportApp::NotifySeries(std::span<const MessageParameters> series)
{
    // Without a window nothing is sent, but each status word still changes.
    SendMessageSeries(m_hwndHost.load(), m_nHostMessage.load(), series);
}

void CTransportApp::NotifyText(const char *text)
{
    Notify(TN_TEXT, reinterpret_cast<LPARAM>(text));
}

DWORD CTransportApp::UpdateStatus(DWORD clearMask, DWORD setMask)
{
    DWORD before = m_dwStatus.load();
    DWORD after;
    do {
        after = (before & ~clearMask) | setMask;
    } while (!m_dwStatus.compare_exchange_weak(before, after));
    return after;
}

void CTransportApp::NotifyStatus(DWORD clearMask, DWORD setMask)
{
    Notify(TN_STATUS, static_cast<LPARAM>(UpdateStatus(clearMask, setMask)));
}

void CTransportApp::NotifySent(CMessageRecord *record)
{
    Notify(TN_SENT, reinterpret_cast<LPARAM>(record));
}

CString CTransportApp::LoadText(UINT id)
{
    ResourceHandleSwitch toPlugin(m_hInstance);
    CString text;
    text.LoadString(id);
    return text;
}

CString CTransportApp::FormatText(UINT id, ...)
{
    const CString format = LoadText(id);
    va_list arguments;
    va_start(arguments, id);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    CString text;
    text.FormatV(format, arguments);
#pragma GCC diagnostic pop
    va_end(arguments);
    return text;
}
