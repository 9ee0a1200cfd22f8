// The configuration page for a person on Windows: the host's settings
// window made a dialog (DialogFrame). OK saves; a reason not to save stays
// on the notice line, and the saver's question is asked in a message box.
#include "host/page/interactive_page.h"

#include "host/page/windows/dialog_frame.h"
#include "host/text/text_codec.h"

namespace {

using Interrupted = std::function<bool()>;

// Yes writes the person's values over the other program's, No keeps that
// program's; Cancel, or a signal while the box is open, leaves unsaved.
PageEnd Ask(const DialogFrame &frame, const PageSaver &save, SaveAnswer &answer, const Interrupted &interrupted)
{
    const int button = MessageBoxW(frame.Window(), Utf8ToWide(answer.notice).c_str(), L"morv-host",
                                   MB_YESNOCANCEL | MB_ICONQUESTION);
    if (interrupted())
        return PageEnd::Interrupted;
    if (button != IDYES && button != IDNO)
        return PageEnd::Cancelled;
    return SaveFromPage(save, button == IDYES ? SaveChoice::Yes : SaveChoice::No, answer);
}

PageEnd Save(DialogFrame &frame, const PageSaver &save, const Interrupted &interrupted)
{
    SaveAnswer answer;
    PageEnd end = SaveFromPage(save, SaveChoice::None, answer);
    while (end == PageEnd::Open && answer.question)
        end = Ask(frame, save, answer, interrupted);
    frame.ShowNotice(answer.notice);
    return end;
}

}  // namespace

bool PageNeedsTerminal() { return false; }

const char *const PAGE_PLACE = "in a window";

PageOutcome RunInteractivePage(const std::vector<HWND> &pages, PluginHost &host, const SignalWatcher *, HostOutput &,
                               const std::string &title, const PageSaver &save)
{
    DialogFrame frame(pages, title);
    const int interruptsBefore = host.Interrupts();
    const Interrupted interrupted = [&] { return host.Interrupts() != interruptsBefore; };
    for (;;) {
        const bool ok = frame.WaitForButton(interrupted) == IDOK;
        const PageEnd end = interrupted() ? PageEnd::Interrupted
                            : ok          ? Save(frame, save, interrupted)
                                          : PageEnd::Cancelled;
        if (end != PageEnd::Open)
            return PageOutcome{end, end == PageEnd::Interrupted ? host.LastSignal() : 0};
    }
}
