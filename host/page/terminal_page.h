// The configuration page for a person at the terminal: the pages drawn one
// under another from their window model (the plug-in's, then the host's
// own section), the keys passed on to their controls (PageKeys), until
// the person saves, cancels or a signal comes. Enter asks the caller's
// saver to save; a page it cannot save yet stays open with its notice,
// and a question of the saver is answered with y or n.
#pragma once

#include "host/page/page_keys.h"
#include "host/session/plugin_host.h"
#include "host/text/host_output.h"

#include <functional>
#include <string>
#include <vector>

class SignalWatcher;

struct PageOutcome {
    PageEnd end = PageEnd::Cancelled;
    int signal = 0;  // Interrupted: the signal, SIGINT for Ctrl-C
};

// The person's answer to the saver's question; None before one was asked.
enum class SaveChoice { None, Yes, No };

struct SaveAnswer {
    bool saved = false;
    std::string notice;     // UTF-8: why it did not save, or the question
    bool question = false;  // the notice asks for y or n
};

using PageSaver = std::function<SaveAnswer(SaveChoice)>;

// Takes the terminal over and gives it back as it was on every way out;
// the host's notifications wait and are written after. `watcher` may be
// null. Throws std::runtime_error without a terminal, and what `save`
// throws.
PageOutcome RunPageOnTerminal(const std::vector<HWND> &pages, PluginHost &host, const SignalWatcher *watcher,
                              HostOutput &output, const std::string &title, const PageSaver &save);
