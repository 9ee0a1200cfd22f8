#include "workers/checker.h"

#include "app/transport_app.h"

DWORD CheckerThread()
{
    theApp.NotifyStatus(0, TS_CHECKING);
    theApp.NotifyStatus(TS_CHECKING, 0);
    return 0;
}
