#include "host/page/interactive_page.h"

#include "platform/user_interface.h"

PageEnd SaveFromPage(const PageSaver &save, SaveChoice choice, SaveAnswer &answer)
{
    const HWND focus = GetFocus();
    answer = save(choice);
    if (answer.saved)
        return PageEnd::Confirmed;
    SetFocus(focus);
    return PageEnd::Open;
}
