#include "host/cli/commands.h"

#include "host/session/plugin_host.h"

namespace {

constexpr DWORD DEFAULT_CHECK_MS = 10000;

}  // namespace

int RunCheck(const CommandContext &context)
{
    int statusWords = 0;
    PluginHost host(context.api, [&](const HostNotification &notification) {
        if (notification.kind == MORV_TN_STATUS)
            ++statusWords;
        context.output.Notify(notification);
    }, context.watcher);
    context.api.Check();
    const DWORD timeoutMs = TimeoutMs(context.options, DEFAULT_CHECK_MS);
    if (host.PumpUntil([&] { return statusWords >= 2; }, timeoutMs))
        return EXIT_OK;
    if (host.Interrupts() > 0)
        return ExitForSignal(host.LastSignal());
    std::fprintf(stderr, "morv-host: the plug-in did not answer Check within %g s\n", timeoutMs / 1000.0);
    return EXIT_FAILED;
}
