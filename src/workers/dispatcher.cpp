#include "plugin/transport_app.h"

#include "resources/resource.h"

void CTransportApp::StartDispatcher() { NotifyText(FormatText(IDS_READY)); }

void CTransportApp::StopDispatcher() {}
