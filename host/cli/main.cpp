// morv-host: a host program for the MORVTRANSPORT plug-in (see README.md).
#include "host/cli/commands.h"
#include "host/os/process_setup.h"
#include "host/os/signal_watcher.h"

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    try {
        const ProcessSetup setup;
        SignalWatcher watcher;
        return RunHost(argc, argv, &watcher);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "morv-host: %s\n", error.what());
        return EXIT_SETUP;
    }
}
