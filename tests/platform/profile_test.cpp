// The WIN.INI reader: the integer rule over INI text, where the file is,
// and files that are missing or are no INI file.
#include "platform/profile.h"

#include "support/scoped_variable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>
#include <string>

namespace {

TEST(ProfileTextTest, IntegerRule)
{
    struct Row {
        const char *text;
        UINT expected;
    };
    const Row rows[] = {
        {"[MAIL]\nMAPI=1\n", 1},
        {"[mail]\nmapi=1", 1},
        {" [ MAIL ] \r\n  MAPI  =  7  \r\n", 7},
        {"[MAIL]\nMAPI=\"3\"\n", 3},
        {"[MAIL]\nMAPI=12abc\n", 12},
        {"[MAIL]\nMAPI=+5\n", 5},
        {"[MAIL]\nMAPI=abc\n", 0},
        {"[MAIL]\nMAPI=-1\n", 0},
        {"[MAIL]\nMAPI=99999999999\n", 0xFFFFFFFF},
        {"[MAIL]\nMAPI=\n", 9},
        {"[MAIL]\nMAPI=   \n", 9},
        {"[MAIL]\n;MAPI=1\n", 9},
        {"[MAIL]\nMAPI 1\n", 9},
        {"[OTHER]\nMAPI=1\n[MAIL]\nX=1\n", 9},
        {"MAPI=1\n[MAIL]\n", 9},
        {"[MAIL]\nMAPI=2\nMAPI=3\n", 2},
        {"[MAIL]\nX=1\n[OTHER]\nMAPI=5\n[MAIL]\nMAPI=4\n", 4},
        {"[MAIL\nMAPI=1\n", 9},
        {"", 9},
    };
    for (const Row &row : rows)
        EXPECT_EQ(ProfileIntFromText(row.text, "MAIL", "MAPI", 9), row.expected) << row.text;
}

// The file that stands in for WIN.INI; on Windows it is the system's own.
#if !defined(_WIN32)
TEST(ProfilePathTest, VariableThenXdgConfigHomeThenHome)
{
    ScopedVariable home("HOME", "/home/player");
    ScopedVariable config("XDG_CONFIG_HOME", "/cfg");
    {
        ScopedVariable named(WIN_INI_VARIABLE, "/etc/win.ini");
        EXPECT_EQ(GetProfilePath(), "/etc/win.ini");
    }
    ScopedVariable named(WIN_INI_VARIABLE, "");
    EXPECT_EQ(GetProfilePath(), "/cfg/morvtransport/win.ini");
    {
        ScopedVariable relative("XDG_CONFIG_HOME", "cfg");
        EXPECT_EQ(GetProfilePath(), "/home/player/.config/morvtransport/win.ini");
    }
    ScopedVariable unset("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(GetProfilePath(), "/home/player/.config/morvtransport/win.ini");
    ScopedVariable noHome("HOME", nullptr);
    EXPECT_EQ(GetProfilePath(), "");
}

TEST(ProfileFileTest, ReadsTheFileAndTakesTheDefaultWhenThereIsNone)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("morv-profile-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path file = folder / "win.ini";
    std::ofstream(file) << "[MAIL]\r\nMAPI=1\r\n";
    const struct {
        std::string path;
        UINT expected;
    } rows[] = {{file.string(), 1}, {(folder / "absent.ini").string(), 5}, {folder.string(), 5}, {"/dev/zero", 5}};
    for (const auto &row : rows) {
        ScopedVariable named(WIN_INI_VARIABLE, row.path.c_str());
        EXPECT_EQ(GetProfileIntA("MAIL", "MAPI", 5), row.expected) << row.path;
    }
    fs::remove_all(folder);
}
#endif

}  // namespace
