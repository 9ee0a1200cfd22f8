// The configuration page for a person (config --interactive): the pages
// (the plug-in's, then the host's own section) filled by a person until
// they save, cancel or a signal comes. Here it is drawn on the terminal
// (terminal_page.cpp); on Windows it is the host's settings window made a
// dialog (windows/). Saving asks the caller's saver; a page it cannot save
// yet stays open with its notice, and a question of the saver is answered
// yes or no.
#pragma once

#include "host/session/plugin_host.h"
#include "host/text/host_output.h"

#include <functional>
#include <string>
#include <vector>

class SignalWatcher;

enum class PageEnd { Open, Confirmed, Cancelled, Interrupted };

struct PageOutcome {
    PageEnd end = PageEnd::Cancelled;
    int signal = 0;  // Interrupted: the signal, SIGINT for Ctrl-C
};

// The person's answer to the saver's question; None before one was asked.
enum class SaveChoice { None, Yes, No };

struct SaveAnswer {
    bool saved = false;
    std::string notice;     // UTF-8: why it did not save, or the question
    bool question = false;  // the notice asks for yes or no
};

using PageSaver = std::function<SaveAnswer(SaveChoice)>;

// Whether the page needs standard input and output on a terminal (it has
// none to show itself in otherwise).
bool PageNeedsTerminal();
// Where the page is shown, as help says it: "in the terminal".
extern const char *const PAGE_PLACE;

// Shows `pages` (the plug-in's page first; the host's sections after it
// are laid out in its dialog units) until the person leaves them; the
// host's notifications may wait until then. `watcher` may be null. Throws
// std::runtime_error when the page cannot be shown, and what `save` throws.
PageOutcome RunInteractivePage(const std::vector<HWND> &pages, PluginHost &host, const SignalWatcher *watcher,
                               HostOutput &output, const std::string &title, const PageSaver &save);

// Asks `save` with `choice`: Confirmed once saved, else Open, with the
// focus back where it was (saving confirms the plug-in's page, which takes
// the focus off it).
PageEnd SaveFromPage(const PageSaver &save, SaveChoice choice, SaveAnswer &answer);
