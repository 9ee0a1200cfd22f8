// The configuration page on a terminal is drawn with curses, which the
// Windows build has not: there the page is a window of its own, to come.
#include "host/page/terminal_page.h"

#include <stdexcept>

PageOutcome RunPageOnTerminal(const std::vector<HWND> &, PluginHost &, const SignalWatcher *, HostOutput &,
                              const std::string &, const PageSaver &)
{
    throw std::runtime_error("the configuration page is not in the Windows build yet; configure the game with "
                             "KEY=VALUE on the command line");
}
