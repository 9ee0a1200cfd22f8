#include "host/commands.h"

#include "host/plugin_host.h"

namespace {

constexpr double DEFAULT_CHECK_SECONDS = 10;

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
    const double seconds = context.options.timeoutSeconds > 0 ? context.options.timeoutSeconds : DEFAULT_CHECK_SECONDS;
    const auto timeout = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    if (host.PumpUntil([&] { return statusWords >= 2; }, timeout))
        return EXIT_OK;
    if (host.Interrupts() > 0)
        return EXIT_INTERRUPTED;
    std::fprintf(stderr, "morv-host: the plug-in did not answer Check within %g s\n", seconds);
    return EXIT_FAILED;
}
