#include "support/scoped_variable.h"
#include "support/temp_folder.h"
#include "mail/netrc_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// A netrc file with a macro, each of its lines ended by `lineEnd`.
std::string NetrcText(const std::string &lineEnd)
{
    std::string text = "# a comment line\n"
                       "machine smtp.example.org login other password wrong\n"
                       "machine SMTP.example.org\n  login me@example.org\n  password \"with space\\\"d\"\n"
                       "macdef init\nmachine smtp.example.org login me@example.org password macro\n\n"
                       "machine 127.0.0.1 login me password local account x\n"
                       "default login me password fallback\n";
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + lineEnd.size()))
        text.replace(at, 1, lineEnd);
    return text;
}

TEST(NetrcFileTest, FindsThePasswordOfTheMachineAndLoginWhateverTheLineEnds)
{
    struct Row {
        const char *machine;
        const char *login;
        std::optional<std::string> password;
    };
    const Row rows[] = {
        {"smtp.example.org", "me@example.org", "with space\"d"},
        {"smtp.example.org", "other", "wrong"},
        {"127.0.0.1", "me", "local"},
        {"other.example.org", "me", "fallback"},
        {"smtp.example.org", "me", "fallback"},
        {"other.example.org", "someone", std::nullopt},
        {"example.org", "me@example.org", std::nullopt},
    };
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        const std::string text = NetrcText(lineEnd);
        for (const Row &row : rows)
            EXPECT_EQ(FindNetrcPassword(text, row.machine, row.login), row.password)
                << row.machine << " " << row.login << (lineEnd.size() == 2 ? " CRLF" : " LF");
    }
    EXPECT_EQ(FindNetrcPassword("machine a login b", "a", "b"), std::nullopt);
    EXPECT_EQ(FindNetrcPassword("login b password c machine a", "a", "b"), std::nullopt);
}

TEST(NetrcFileTest, AFileOthersMayReadOrWriteIsRefused)
{
#if defined(_WIN32)
    GTEST_SKIP() << "files have no owner, group and others' modes on Windows";
#endif
    TempFolder folder;
    const std::string path = (folder / "netrc").string();
    WriteFile(path, "machine smtp.example.org login me password secret\n");
    CString password;
    for (const mode_t mode : {0604, 0640, 0602, 0620}) {
        chmod(path.c_str(), mode);
        EXPECT_NE(ReadNetrcPassword(path, "smtp.example.org", "me", password).Find("may be read or written by others"),
                  -1)
            << std::oct << mode;
    }
    chmod(path.c_str(), 0600);
    EXPECT_TRUE(ReadNetrcPassword(path, "smtp.example.org", "me", password).IsEmpty());
    EXPECT_EQ(password, "secret");
    EXPECT_EQ(ReadNetrcPassword(path + "x", "smtp.example.org", "me", password),
              ("Cannot read the netrc file " + path + "x").c_str());
}

// The file is looked for where curl looks: the variable's, else in the
// home folder (on Windows the profile folder, _netrc before .netrc).
TEST(NetrcFileTest, IsLookedForWhereCurlLooks)
{
    TempFolder home;
    const ScopedVariable unset{"MORV_NETRC", nullptr};
#if defined(_WIN32)
    const ScopedVariable profile{"USERPROFILE", home.Path().string().c_str()};
    EXPECT_EQ(NetrcPath(), (home / ".netrc").string());
    WriteFile(home / "_netrc", "");
    EXPECT_EQ(NetrcPath(), (home / "_netrc").string());
#else
    const ScopedVariable profile{"HOME", home.Path().c_str()};
    EXPECT_EQ(NetrcPath(), (home / ".netrc").string());
#endif
    const ScopedVariable chosen{"MORV_NETRC", "elsewhere"};
    EXPECT_EQ(NetrcPath(), "elsewhere");
}

}  // namespace
