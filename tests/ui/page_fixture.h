// A host with a settings window, as the configuration tests need it: the
// plug-in loaded, pages opened into the window's tree, controls found by id
// and driven like a person would.
#pragma once

#include "app/edit_copy.h"
#include "host/page/settings_window.h"
#include "platform/host_window.h"
#include "platform/resources.h"
#include "platform/user_input.h"
#include "resources/resource.h"
#include "support/linked_plugin_api.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

class PageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceLanguage(ResourceLanguage::English);
        host.LoadQuietly();
    }
    void TearDown() override { api.OnClose(); }

    void Restore(CString game, CMapStringToString store) { RestoreGame(api, game, std::move(store)); }
    // Adds a page for the game; the newest page, or null when none was added.
    CWnd *OpenPage(CString game)
    {
        const std::size_t before = settings.Pages().size();
        api.CreateConfigDialog(&settings.Tree(), game);
        const auto pages = settings.Pages();
        return pages.size() > before ? pages.back() : nullptr;
    }
    // The open game's record, read back through OnSave.
    CMapStringToString Saved(CString game)
    {
        CString tag;
        unsigned long version = 0;
        CMapStringToString store;
        api.OnSave(game, store, tag, version);
        return store;
    }
    static HWND Control(CWnd *page, int id) { return GetDlgItem(page->m_hWnd, id); }
    static CString EditCopy(const char *key) { return (*g_pEditSettings)[key]; }

    PluginApi api = LinkedPluginApi();
    TestHost host{api};
    SettingsWindow settings;
    CString alpha{"Alpha"};
};
