#include "ui/config_flow.h"

#include "app/edit_copy.h"
#include "app/game_registry.h"
#include "app/transport_app.h"
#include "platform/tree_ctrl.h"
#include "ui/transport_page.h"

#include <mutex>

namespace {

constexpr const char *TEXT_FOREIGN_EDIT_COPY = "Internal error 1.";
constexpr const char *TEXT_TRANSPORT_ITEM = "Transport";

// A copy of the open game's record, or null when the game is not open.
std::unique_ptr<GameSettings> CopyOfOpenGame(const CString &game)
{
    std::lock_guard lock(g_mutexGames);
    const GameSettings *record = FindGame(game);
    if (!record)
        return nullptr;
    return std::make_unique<GameSettings>(static_cast<const CMapStringToString &>(*record));
}

// The page and its tree item. Once the item carries the page, the page
// belongs to the host, which destroys it with the item; a page that no
// item carries is nobody's and goes at once.
void AddPage(CTreeCtrl &tree)
{
    ResourceHandleSwitch toPlugin(theApp.m_hInstance);
    auto page = std::make_unique<CTransportPage>();
    page->Create(CTransportPage::IDD, CWnd::FromHandle(::GetParent(tree.GetSafeHwnd())));
    const HTREEITEM item = tree.InsertItem(TVIF_TEXT | TVIF_PARAM, TEXT_TRANSPORT_ITEM, 0, 0, 0, 0,
                                           reinterpret_cast<LPARAM>(page.get()), TVI_ROOT, TVI_LAST);
    if (item)
        static_cast<void>(page.release());
}

}  // namespace

void OpenConfigPage(CTreeCtrl *tree, const CString &game)
{
    if (!tree)
        return;
    std::unique_ptr<GameSettings> copy = CopyOfOpenGame(game);
    if (!copy)
        return;
    g_pEditSettings = std::move(copy);
    AddPage(*tree);
}

void ApplyEditCopy(const CString &game)
{
    if (!g_pEditSettings)
        return;
    CString editedGame;
    g_pEditSettings->Lookup(KEY_GAME_NAME, editedGame);
    if (editedGame != game) {
        theApp.NotifyText(TEXT_FOREIGN_EDIT_COPY);
        return;
    }
    auto record = std::make_unique<GameSettings>(static_cast<const CMapStringToString &>(*g_pEditSettings));
    std::lock_guard lock(g_mutexGames);
    g_mapGames[game] = std::move(record);
}
