// morv-host's bash completion in a person's shell: an interactive bash
// with bash-completion loaded, which finds the completion where it is
// installed and splits the words at "=" as bash does.
#include "host_cli_fixture.h"
#include "tmux_terminal.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

namespace fs = std::filesystem;

constexpr const char *BASH_COMPLETION = "/usr/share/bash-completion/bash_completion";

class BashCompletionTest : public HostCliTest {
protected:
    void SetUp() override
    {
        if (!TmuxTerminal::Available() || !fs::exists(BASH_COMPLETION))
            GTEST_SKIP() << "tmux or bash-completion is not installed";
        fs::create_directories(folder / "data/bash-completion/completions");
        fs::copy_file(fs::path(MORV_SOURCE_DIR) / "host/share/morv-host.bash-completion",
                      folder / "data/bash-completion/completions/morv-host");
        fs::create_directories(folder / "config/morvtransport");
        WriteFile(folder / "config/morvtransport/project.json", ProjectWith({{"Alpha", {}}, {"Beta", {}}}));
        WriteFile(folder / "bashrc", std::string("source ") + BASH_COMPLETION + "\nPS1='$ '\n");
    }

    std::unique_ptr<TmuxTerminal> Shell() const
    {
        const std::string path = fs::path(MORV_HOST_PROGRAM).parent_path().string() + ":" + std::getenv("PATH");
        auto shell = std::make_unique<TmuxTerminal>(std::vector<std::string>{
            "env", "HOME=" + folder.Path().string(), "XDG_DATA_HOME=" + (folder / "data").string(),
            "XDG_CONFIG_HOME=" + (folder / "config").string(), "PATH=" + path, "bash", "--rcfile",
            (folder / "bashrc").string(), "-i"});
        EXPECT_TRUE(shell->WaitForScreen("$")) << shell->Screen();
        return shell;
    }
};

TEST_F(BashCompletionTest, CompletesKeysTheirValuesAndGamesInAnInteractiveBash)
{
    const auto shell = Shell();
    const std::pair<std::string, std::string> cases[] = {
        {"morv-host config B\t", "$ morv-host config Beta"},
        {"morv-host config Alpha Secu\t", "$ morv-host config Alpha Security="},
        {"morv-host config Alpha Mailer=M\t", "$ morv-host config Alpha Mailer=MAPI"},
        {"morv-host send Alpha --set Mailer=S\t", "$ morv-host send Alpha --set Mailer=SMTP"},
        {"morv-host config Alpha Security=\t\t", "none      starttls  tls"},
    };
    for (const auto &[typed, shown] : cases) {
        shell->Keys({"C-u", "C-l"});  // the line and the screen cleared
        shell->Type(typed);
        EXPECT_TRUE(shell->WaitForScreen(shown)) << typed << "\n" << shell->Screen();
    }
}

}  // namespace
