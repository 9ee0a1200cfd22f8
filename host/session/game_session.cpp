#include "host/session/game_session.h"

#include "host/text/text_codec.h"

void CheckSectionIsOurs(const std::string &game, const GameSection &section)
{
    if (section.tag != MORV_SETTINGS_TAG || section.version != MORV_SETTINGS_VERSION)
        throw ProjectError("the section of game \"" + game + "\" belongs to another plug-in (tag \"" + section.tag +
                           "\", version " + std::to_string(section.version) + "; this one reads \"" +
                           MORV_SETTINGS_TAG + "\", version " + std::to_string(MORV_SETTINGS_VERSION) +
                           "); the project file was left as it is");
}

namespace {

CString GameName(const std::string &game)
{
    try {
        return CString(Utf8ToAnsi(game));
    } catch (const TextCodecError &error) {
        throw ProjectError("the game name \"" + game + "\" cannot be written in Windows-1251");
    }
}

}  // namespace

GameSession::GameSession(const EntryPoints &api, const std::string &game, const std::optional<GameSection> &section)
    : m_api(api), m_name(GameName(game))
{
    if (!section) {
        m_api.Init(m_name);
        return;
    }
    CheckSectionIsOurs(game, *section);
    GameSection restored = *section;
    CString tag(restored.tag);
    m_api.OnRestore(m_name, restored.pairs, tag, restored.version);
}

GameSession::~GameSession() { m_api.Close(m_name); }

GameSection GameSession::Save(GameSection base) const
{
    CString name = m_name;
    CString tag;
    base.version = 0;
    m_api.OnSave(name, base.pairs, tag, base.version);
    if (tag != CString(MORV_SETTINGS_TAG) || base.version != MORV_SETTINGS_VERSION)
        throw PluginError("the plug-in did not save the settings of game \"" + AnsiToUtf8(m_name.view()) +
                          "\"; nothing was written");
    base.tag = tag.str();
    return base;
}
