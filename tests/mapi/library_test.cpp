// The library search and loading of the platform layer, on the fake
// provider's builds.
#include "fake_mapi_state.h"
#include "mapi_environment.h"
#include "platform/last_error.h"
#include "platform/library.h"
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <string>

namespace {

const std::string FULL_LIBRARY = std::string(FAKE_MAPI_DIR) + "/libmapi32.so";

std::string Found(const char *name)
{
    char buffer[4096] = "";
    const DWORD length = SearchPathA(nullptr, name, nullptr, sizeof buffer, buffer, nullptr);
    EXPECT_EQ(length, std::string(buffer).size());
    return buffer;
}

class LibraryTest : public ::testing::Test {
protected:
    MapiEnvironment env;
};

TEST_F(LibraryTest, SearchTakesTheFirstFolderOfLdLibraryPathThatHasTheFile)
{
    env.SetVariable("LD_LIBRARY_PATH", env.Folder() + "::" + PARTIAL_MAPI_DIR + ":" + FAKE_MAPI_DIR);
    EXPECT_EQ(Found("libmapi32.so"), std::string(PARTIAL_MAPI_DIR) + "/libmapi32.so");
    env.SetVariable("LD_LIBRARY_PATH", std::string(FAKE_MAPI_DIR) + ":" + PARTIAL_MAPI_DIR);
    EXPECT_EQ(Found("libmapi32.so"), FULL_LIBRARY);
}

TEST_F(LibraryTest, SearchWithoutTheFileSetsFileNotFound)
{
    SetLastError(0);
    EXPECT_EQ(SearchPathA(nullptr, "libmapi32.so", nullptr, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(SearchPathA(nullptr, "", nullptr, 0, nullptr, nullptr), 0u);
}

TEST_F(LibraryTest, SearchAsksForABufferLargeEnough)
{
    const auto length = static_cast<DWORD>(FULL_LIBRARY.size());
    EXPECT_EQ(SearchPathA(FAKE_MAPI_DIR, "libmapi32.so", nullptr, 0, nullptr, nullptr), length + 1);
    EXPECT_EQ(SearchPathA(FAKE_MAPI_DIR, "libmapi32", ".so", 0, nullptr, nullptr), length + 1);
    char small[8] = "keep";
    EXPECT_EQ(SearchPathA(FAKE_MAPI_DIR, "libmapi32.so", nullptr, sizeof small, small, nullptr), length + 1);
    EXPECT_STREQ(small, "keep");
    std::string exact(length + 1, 'x');
    char *filePart = nullptr;
    EXPECT_EQ(SearchPathA(FAKE_MAPI_DIR, "libmapi32.so", nullptr, length + 1, exact.data(), &filePart), length);
    EXPECT_STREQ(exact.c_str(), FULL_LIBRARY.c_str());
    EXPECT_STREQ(filePart, "libmapi32.so");
}

TEST_F(LibraryTest, SearchPathRunsFromHostAndCallerFoldersToTheSystemFolders)
{
    env.SetVariable("LD_LIBRARY_PATH", "/first:/second");
    namespace fs = std::filesystem;
    const std::vector<CString> folders = LibrarySearchPath(reinterpret_cast<const void *>(&GetProfileIntA));
    ASSERT_GE(folders.size(), 5u);
    EXPECT_EQ(folders[0], CString(fs::canonical("/proc/self/exe").parent_path().string()));
    EXPECT_EQ(folders[1], CString(fs::canonical(MORV_BINARY_DIR).string()));
    EXPECT_EQ(folders[2], "/first");
    EXPECT_EQ(folders[3], "/second");
    EXPECT_EQ(folders.back(), "/lib");
}

TEST_F(LibraryTest, LoadsFromTheSearchPathAndBindsByName)
{
    env.SetVariable("LD_LIBRARY_PATH", FAKE_MAPI_DIR);
    HMODULE library = LoadLibraryA("libmapi32.so");
    ASSERT_NE(library, nullptr);
    EXPECT_NE(GetProcAddress(library, "MAPISendMail"), nullptr);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(library, "MAPIReadMail"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(FakeMapiState::Instance().Loads(), 1);
    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_EQ(FakeMapiState::Instance().Unloads(), 1);
}

TEST_F(LibraryTest, LoadFailuresTellMissingFromUnloadable)
{
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("libmapi32.so"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(LoadLibraryA(env.Folder().c_str()), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    const std::string junk = env.WriteFile("libjunk.so", std::string(64, '\x7F'));
    EXPECT_EQ(LoadLibraryA(junk.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(GetProcAddress(nullptr, "MAPILogon"), nullptr);
}

TEST_F(LibraryTest, KeptLibraryOutlivesItsLastFreeLibrary)
{
    // A copy of its own, so that no other test finds it loaded.
    const std::string copy = env.Folder() + "/libkept.so";
    std::filesystem::copy_file(FULL_LIBRARY, copy);
    HMODULE library = LoadLibraryA(copy.c_str());
    ASSERT_NE(library, nullptr);
    EXPECT_TRUE(KeepLibraryLoaded(reinterpret_cast<const void *>(GetProcAddress(library, "MAPILogon"))));
    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_EQ(FakeMapiState::Instance().Unloads(), 0);
    EXPECT_NE(dlopen(copy.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
    EXPECT_FALSE(KeepLibraryLoaded(nullptr));
}

}  // namespace
