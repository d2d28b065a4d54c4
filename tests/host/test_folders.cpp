// Folder searches, the current folder as process state, and the program's own path.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host/win/folders.h"
#include "win_test_folder.h"

namespace {

using wintest::CurrentFolderGuard;
using wintest::TempFolder;
using wintest::WriteText;

struct Found {
    std::string name;
    DWORD attributes;
};

// Every result of a search, in the order handed out; empty when the search finds nothing.
std::vector<Found> Search(const std::string& pattern) {
    std::vector<Found> results;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return results;
    do {
        results.push_back({data.cFileName, data.dwFileAttributes});
    } while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search));
    return results;
}

std::vector<std::string> Names(const std::vector<Found>& found) {
    std::vector<std::string> names;
    for (const Found& f : found)
        names.push_back(f.name);
    return names;
}

class FolderSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(folder_ / "zeta");
        std::filesystem::create_directory(folder_ / "Tessary");
        std::filesystem::create_directory(folder_ / "alpha");
        std::filesystem::create_directory(folder_ / ".hidden");
        WriteText(folder_ / "Beta.bmp", "b");
        WriteText(folder_ / "readme", "r");
        WriteText(folder_ / "_under.bmp", "u");
    }
    TempFolder folder_;
};

TEST_F(FolderSearch, ListsEverythingSortedByNameIgnoringCase) {
    // Names compare as upper case, as the platform's file system lists them: "_" after "Z".
    EXPECT_EQ(Names(Search(folder_.Path() + "\\*")),
              (std::vector<std::string>{".", "..", ".hidden", "alpha", "Beta.bmp", "readme", "Tessary",
                                        "zeta", "_under.bmp"}));
}

TEST_F(FolderSearch, FoldersCarryExactlyTheFolderAttribute) {
    for (const Found& found : Search(folder_.Path() + "\\*")) {
        if (found.name == "Tessary" || found.name == "alpha") {
            EXPECT_EQ(found.attributes, DWORD(FILE_ATTRIBUTE_DIRECTORY)) << found.name;
        } else if (found.name == ".hidden") {
            EXPECT_EQ(found.attributes, DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
        } else if (found.name == "Beta.bmp") {
            EXPECT_EQ(found.attributes, DWORD(FILE_ATTRIBUTE_NORMAL));
        }
    }
}

TEST_F(FolderSearch, WildcardsMatchIgnoringCase) {
    EXPECT_EQ(Names(Search(folder_.Path() + "/*.BMP")), (std::vector<std::string>{"Beta.bmp", "_under.bmp"}));
    EXPECT_EQ(Names(Search(folder_.Path() + "/?eta*")), (std::vector<std::string>{"Beta.bmp", "zeta"}));
    EXPECT_EQ(Names(Search(folder_.Path() + "/readme.*")), (std::vector<std::string>{"readme"}));
    EXPECT_EQ(Names(Search(folder_.Path() + "/TESSARY")), (std::vector<std::string>{"Tessary"}));
}

TEST_F(FolderSearch, FileSizesAreReported) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder_ / "beta.bmp").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 1u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_TRUE(CloseHandle(search)); // a search handle closes like any other
}

TEST_F(FolderSearch, NothingFoundAndMissingFolderFailWithTheirReasons) {
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA((folder_ / "*.lev").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileA((folder_ / "nofolder/*").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

TEST_F(FolderSearch, SearchIsRelativeToTheCurrentFolder) {
    CurrentFolderGuard restore;
    ASSERT_TRUE(SetCurrentDirectoryA((folder_.Path() + "\\TESSARY").c_str()));
    WriteText(folder_ / "Tessary/001.lev", "l");
    EXPECT_EQ(Names(Search("*.lev")), (std::vector<std::string>{"001.lev"}));
    EXPECT_EQ(Names(Search("..\\t*")), (std::vector<std::string>{"Tessary"}));
}

TEST_F(FolderSearch, EndedSearchesAreRefused) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder_ / "*").c_str(), &data);
    ASSERT_TRUE(FindClose(search));
    EXPECT_FALSE(FindNextFileA(search, &data));
    EXPECT_FALSE(FindClose(search));
}

TEST(CurrentFolder, SetChangesTheProcessFolderForEveryone) {
    TempFolder folder;
    CurrentFolderGuard restore;
    WriteText(folder / "Games/Tessary/marker.txt", "here");
    ASSERT_TRUE(SetCurrentDirectoryA((folder.Path() + "\\games\\TESSARY").c_str()));
    // Plain stdio sees the same current folder.
    FILE* file = std::fopen("marker.txt", "rb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer), folder / "Games/Tessary");
    EXPECT_EQ(length, std::strlen(buffer));
}

TEST(CurrentFolder, DotDotGoesUpOneFolder) {
    TempFolder folder;
    CurrentFolderGuard restore;
    std::filesystem::create_directories(folder / "Menu/Tessary");
    ASSERT_TRUE(SetCurrentDirectoryA((folder / "Menu/Tessary").c_str()));
    ASSERT_TRUE(SetCurrentDirectoryA(".."));
    char buffer[MAX_PATH];
    GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer), folder / "Menu");
}

TEST(CurrentFolder, MissingFolderOrFileIsRefusedAndNothingChanges) {
    TempFolder folder;
    CurrentFolderGuard restore;
    WriteText(folder / "file.txt", "x");
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    EXPECT_FALSE(SetCurrentDirectoryA("nosuch"));
    EXPECT_FALSE(SetCurrentDirectoryA("file.txt"));
    char buffer[MAX_PATH];
    GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer), folder.Path());
}

TEST(CurrentFolder, TooSmallBufferGetsTheNeededSizeAndStaysUntouched) {
    TempFolder folder;
    CurrentFolderGuard restore;
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    char small[4] = {'z', 'z', 'z', 'z'};
    EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), DWORD(folder.Path().size() + 1));
    EXPECT_EQ(small[0], 'z');
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), DWORD(folder.Path().size() + 1));
}

TEST(ModuleFileName, IsThisProgramsPathAndIsCutSafely) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(length, std::strlen(path));
    EXPECT_EQ(std::filesystem::path(path), std::filesystem::canonical("/proc/self/exe"));
    char small[5];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), DWORD(sizeof small));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::strlen(small), 4u);
    EXPECT_EQ(std::string(small), std::string(path, 4));
}

} // namespace
