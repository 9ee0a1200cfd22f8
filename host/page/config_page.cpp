#include "host/page/config_page.h"

#include "host/text/text_codec.h"
#include "platform/user_interface.h"

ConfigPage::ConfigPage(const EntryPoints &api, const CString &game) : m_api(api), m_game(game)
{
    CString name = m_game;
    m_api.CreateConfigDialog(&m_settings.Tree(), name);
    m_page = m_settings.TransportPage();
    if (!m_page)
        throw PluginError("the plug-in added no configuration page for game \"" + AnsiToUtf8(game.view()) + "\"");
    ShowWindow(m_page, SW_SHOW);
}

void ConfigPage::Confirm()
{
    SetFocus(m_settings.Tree().GetSafeHwnd());
    CString name = m_game;
    m_api.OnOk(name);
}
