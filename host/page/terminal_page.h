// The configuration page for a person at the terminal: the page that the
// plug-in made (ConfigPage) drawn from its window model, the keys passed
// on to its controls (PageKeys), until the person confirms, cancels or a
// signal comes. Confirming is left to the caller (ConfigPage::Confirm).
#pragma once

#include "host/page/config_page.h"
#include "host/page/page_keys.h"
#include "host/session/plugin_host.h"
#include "host/text/host_output.h"

#include <string>

class SignalWatcher;

struct PageOutcome {
    PageEnd end = PageEnd::Cancelled;
    int signal = 0;  // Interrupted: the signal, SIGINT for Ctrl-C
};

// Takes the terminal over and gives it back as it was on every way out;
// the host's notifications wait and are written after. `watcher` may be
// null. Throws std::runtime_error without a terminal.
PageOutcome RunPageOnTerminal(ConfigPage &page, PluginHost &host, const SignalWatcher *watcher,
                              HostOutput &output, const std::string &title);
