// The project file: refusal of what is not ours, sections in and out, and
// saves that never leave less than the file held.
#include "host/project/project_file.h"
#include "morvtransport/morvtransport.h"
#include "support/scoped_variable.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

const char *const VALID_PROJECT = R"({"morv-host-project": 1, "games": {
  "Alpha": {"tag": "OXU:-)Transport", "version": 100,
            "settings": {"GameName": "Alpha", "To": "сервер@x", "Mailer": "0"}},
  "Beta": {"tag": "other", "version": 3, "settings": {}}},
  "keptByOthers": [1, 2]})";

class ProjectFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::filesystem::path path = folder / "project.json";

    std::string LoadError(const std::string &content)
    {
        WriteFile(path, content);
        try {
            ProjectFile(path).Load(true);
        } catch (const ProjectError &error) {
            return error.what();
        }
        return "";
    }
};

TEST_F(ProjectFileTest, RefusesWhatIsNoProjectAndLeavesItAlone)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "is empty"},
        {" \n\t ", "is empty"},
        {"{\"games\": ", "is not JSON"},
        {"[1, 2]", "is not a morv-host project"},
        {"{\"name\": \"someone else's\"}", "is not a morv-host project"},
        {"{\"morv-host-project\": 7, \"games\": {}}", "project format 7"},
        {"{\"morv-host-project\": 1, \"games\": []}", "no \"games\" object"},
    };
    for (const auto &[content, problem] : cases) {
        const std::string error = LoadError(content);
        EXPECT_NE(error.find(problem), std::string::npos) << content << " -> " << error;
        EXPECT_NE(error.find("left as it is"), std::string::npos) << error;
        EXPECT_EQ(ReadFile(path), content);
    }
}

TEST_F(ProjectFileTest, MissingFileIsAnErrorUnlessItMayBeCreated)
{
    EXPECT_THROW(ProjectFile(path).Load(false), ProjectError);
    ProjectFile created(path);
    created.Load(true);
    EXPECT_FALSE(created.Find("Alpha"));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ProjectFileTest, SectionsComeBackInWindows1251WithTheirTag)
{
    WriteFile(path, VALID_PROJECT);
    ProjectFile project(path);
    project.Load(false);
    const std::optional<GameSection> alpha = project.Find("Alpha");
    ASSERT_TRUE(alpha);
    EXPECT_EQ(alpha->tag, MORV_SETTINGS_TAG);
    EXPECT_EQ(alpha->version, MORV_SETTINGS_VERSION);
    CString to;
    ASSERT_TRUE(alpha->pairs.Lookup("To", to));
    EXPECT_EQ(to.str(), "\xF1\xE5\xF0\xE2\xE5\xF0@x");
    EXPECT_EQ(project.Find("Beta")->tag, "other");
    EXPECT_FALSE(project.Find("alpha"));
}

TEST_F(ProjectFileTest, MalformedSectionsAreErrors)
{
    const char *const sections[] = {
        R"("G": [])",
        R"("G": {"tag": "OXU:-)Transport", "version": -1, "settings": {}})",
        R"("G": {"tag": "OXU:-)Transport", "version": 100})",
        R"("G": {"tag": "OXU:-)Transport", "version": 100, "settings": {"To": 5}})",
        R"("G": {"tag": "OXU:-)Transport", "version": 100, "settings": {"To": "😀"}})",
    };
    for (const char *section : sections) {
        WriteFile(path, std::string(R"({"morv-host-project": 1, "games": {)") + section + "}}");
        ProjectFile project(path);
        project.Load(false);
        EXPECT_THROW(project.Find("G"), ProjectError) << section;
    }
}

TEST_F(ProjectFileTest, SaveReplacesOneSectionAndKeepsEverythingElse)
{
    WriteFile(path, VALID_PROJECT);
    ProjectFile project(path);
    project.Load(false);
    GameSection alpha = *project.Find("Alpha");
    alpha.pairs.SetAt("Subject", "\xD5\xEE\xE4");  // "Ход"
    project.Store("Alpha", alpha);
    project.Save();

    ProjectFile reread(path);
    reread.Load(false);
    CString subject;
    ASSERT_TRUE(reread.Find("Alpha")->pairs.Lookup("Subject", subject));
    EXPECT_EQ(subject.str(), "\xD5\xEE\xE4");
    EXPECT_EQ(reread.Find("Beta")->tag, "other");
    EXPECT_NE(ReadFile(path).find("keptByOthers"), std::string::npos);
    EXPECT_NE(ReadFile(path).find("\"Ход\""), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "a temporary file was left";
}

TEST_F(ProjectFileTest, StoreRefusesToLoseAKey)
{
    WriteFile(path, VALID_PROJECT);
    ProjectFile project(path);
    project.Load(false);
    GameSection fewer = *project.Find("Alpha");
    fewer.pairs.RemoveKey("To");
    EXPECT_THROW(project.Store("Alpha", fewer), ProjectError);
    project.Save();
    ProjectFile reread(path);
    reread.Load(false);
    EXPECT_EQ(reread.Find("Alpha")->pairs.GetCount(), 3);
}

TEST_F(ProjectFileTest, SaveCreatesMissingFolders)
{
    const std::filesystem::path nested = folder / "a/b/project.json";
    ProjectFile project(nested);
    project.Load(true);
    GameSection section{MORV_SETTINGS_TAG, MORV_SETTINGS_VERSION};
    section.pairs.SetAt("GameName", "G");
    project.Store("G", section);
    project.Save();
    ProjectFile reread(nested);
    reread.Load(false);
    EXPECT_TRUE(reread.Find("G"));
}

#if defined(_WIN32)
TEST(ProjectFileDefault, IsInTheRoamingApplicationDataFolder)
{
    const char *appData = std::getenv("APPDATA");
    ASSERT_TRUE(appData);
    EXPECT_EQ(ProjectFile::DefaultPath(), std::filesystem::path(appData) / "morvtransport" / "project.json");
}
#else
TEST(ProjectFileDefault, FollowsXdgConfigHome)
{
    ScopedVariable configHome("XDG_CONFIG_HOME", "/somewhere");
    const ScopedVariable home("HOME", "/home/user");
    EXPECT_EQ(ProjectFile::DefaultPath(), "/somewhere/morvtransport/project.json");
    configHome.Set(nullptr);
    EXPECT_EQ(ProjectFile::DefaultPath(), "/home/user/.config/morvtransport/project.json");
}
#endif

}  // namespace
