// config for a person on Windows: the settings window driven from another
// thread as a person's keys drive it, through the host thread's message
// queue and the dialog manager. Tab moves to the next field, typing fills
// it, Enter saves; Esc and closing the window leave the project as it was.
#include "host/cli/commands.h"
#include "host/project/project_file.h"
#include "platform/ticks.h"
#include "resources/resource.h"
#include "support/plugin_api.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

constexpr DWORD WAIT_MS = 20000;
constexpr auto POLL = std::chrono::milliseconds(1);
const char *const TITLE = "morv-host config: MORVTRANSPORT settings of game \"Alpha\"";

int RunMorvHost(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"morv-host", "--plugin", MORV_PLUGIN_PATH});
    std::vector<const char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(argument.c_str());
    return RunHost(static_cast<int>(argv.size()), argv.data(), nullptr);
}

// Polls until `found` holds or the bound has passed.
bool WaitUntil(const std::function<bool()> &found)
{
    const CTickBound bound(WAIT_MS);
    while (!found()) {
        if (bound.Left() == 0)
            return false;
        std::this_thread::sleep_for(POLL);
    }
    return true;
}

HWND FocusOf(DWORD thread)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// What a person's keys put into the queue of the window with the focus.
void PressKey(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

void TypeText(HWND window, const std::string &text)
{
    for (const char letter : text)
        PostMessageA(window, WM_CHAR, static_cast<unsigned char>(letter), 1);
}

enum class Leave { Enter, Escape, Close };

// The person: on the first field (From) when the window opens, Tab to the
// next (To), types over it and leaves as `leave` says. False, with the
// window closed, when the focus went elsewhere.
bool FillToField(DWORD hostThread, Leave leave, const std::string &typed)
{
    HWND frame = nullptr;
    const auto focusOn = [&](int id) { return GetDlgCtrlID(FocusOf(hostThread)) == id; };
    if (!WaitUntil([&] { return (frame = FindWindowA(nullptr, TITLE)) != nullptr; }))
        return false;
    bool followed = WaitUntil([&] { return focusOn(IDC_FROM); });
    if (followed)
        PressKey(FocusOf(hostThread), VK_TAB);
    followed = followed && WaitUntil([&] { return focusOn(IDC_TO); });
    if (followed)
        TypeText(FocusOf(hostThread), typed);
    if (!followed || leave == Leave::Close)
        PostMessageA(frame, WM_CLOSE, 0, 0);
    else
        PressKey(FocusOf(hostThread), leave == Leave::Enter ? VK_RETURN : VK_ESCAPE);
    return followed;
}

class InteractivePageTest : public ::testing::TestWithParam<Leave> {};

TEST_P(InteractivePageTest, EnterSavesWhatWasTypedAndLeavingOtherwiseSavesNothing)
{
    TempFolder folder;
    const std::string project = (folder / "project.json").string();
    WriteFile(project, R"({"morv-host-project": 1, "games": {"Alpha": {"tag": "OXU:-)Transport", "version": 100,
        "settings": {"GameName": "Alpha", "From": "me@example.org", "To": "turns@alpha.example"}}}})");
    const std::string before = ReadFile(project);
    const DWORD hostThread = GetCurrentThreadId();
    bool followed = false;
    std::thread person([&] { followed = FillToField(hostThread, GetParam(), "new@alpha.example"); });
    const int exitCode = RunMorvHost({"--project", project, "config", "Alpha", "-i"});
    person.join();
    EXPECT_TRUE(followed);
    EXPECT_EQ(exitCode, EXIT_OK);
    if (GetParam() != Leave::Enter) {
        EXPECT_EQ(ReadFile(project), before);
        return;
    }
    ProjectFile saved(project);
    saved.Load(false);
    const GameSection section = saved.Require("Alpha");
    CString to, from;
    EXPECT_TRUE(section.pairs.Lookup("To", to) && section.pairs.Lookup("From", from));
    EXPECT_EQ(to, "new@alpha.example");
    EXPECT_EQ(from, "me@example.org");
}

const char *NameOf(Leave leave)
{
    const char *const names[] = {"Enter", "Escape", "Close"};
    return names[static_cast<int>(leave)];
}

void PrintTo(Leave leave, std::ostream *out) { *out << NameOf(leave); }

std::string TestName(const ::testing::TestParamInfo<Leave> &leave) { return NameOf(leave.param); }

INSTANTIATE_TEST_SUITE_P(Endings, InteractivePageTest, ::testing::Values(Leave::Enter, Leave::Escape, Leave::Close),
                         TestName);

}  // namespace
