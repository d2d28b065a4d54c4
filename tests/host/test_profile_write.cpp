// The profile functions' writing rules: creating, replacing in place, deleting, keeping other lines,
// line ends, and writing in one step.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "host/win/profile.h"
#include "win_test_folder.h"

namespace {

using wintest::ReadText;
using wintest::TempFolder;
using wintest::WriteText;

class ProfileWrite : public ::testing::Test {
  protected:
    std::string Read(const char* section, const char* key) {
        char buffer[256];
        GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof buffer, file_.c_str());
        return buffer;
    }
    BOOL Write(const char* section, const char* key, const char* value) {
        return WritePrivateProfileStringA(section, key, value, file_.c_str());
    }
    int FilesInFolder() {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
            (void)entry;
            ++count;
        }
        return count;
    }

    TempFolder folder_;
    std::string file_ = folder_ / "options.ini";
};

TEST_F(ProfileWrite, FirstWriteCreatesFileAndSection) {
    ASSERT_TRUE(Write("setup", "playerid", "3"));
    EXPECT_EQ(ReadText(file_), "[setup]\r\nplayerid=3\r\n");
    EXPECT_EQ(Read("setup", "playerid"), "3");
}

TEST_F(ProfileWrite, WriteWithOtherCaseReplacesTheSameKey) {
    WriteText(file_, "[setup]\nMusic=Y\n");
    ASSERT_TRUE(Write("SETUP", "music", "N"));
    EXPECT_EQ(ReadText(file_), "[setup]\nMusic=N\n");
}

TEST_F(ProfileWrite, OtherLinesCommentsAndOrderAreKept) {
    const std::string before = "; players of the collection\n"
                               "[setup]\n"
                               "playerid=0\n"
                               "Music=Y\n"
                               "\n"
                               "[Player1]\n"
                               "name = Ann  \n"
                               "; last line\n";
    WriteText(file_, before);
    ASSERT_TRUE(Write("setup", "playerid", "5"));
    std::string expected = before;
    expected.replace(expected.find("playerid=0"), 10, "playerid=5");
    EXPECT_EQ(ReadText(file_), expected);
}

TEST_F(ProfileWrite, NewKeyGoesToTheEndOfItsSectionBeforeBlankLines) {
    WriteText(file_, "[setup]\nMusic=Y\n\n[Player1]\nname=Ann\n");
    ASSERT_TRUE(Write("setup", "SFX", "N"));
    EXPECT_EQ(ReadText(file_), "[setup]\nMusic=Y\nSFX=N\n\n[Player1]\nname=Ann\n");
}

TEST_F(ProfileWrite, NewSectionGoesToTheEnd) {
    WriteText(file_, "[setup]\nMusic=Y");
    ASSERT_TRUE(Write("Player2", "name", "Bo"));
    EXPECT_EQ(ReadText(file_), "[setup]\nMusic=Y\n\n[Player2]\nname=Bo\n");
}

TEST_F(ProfileWrite, LineEndsOfTheFileAreKept) {
    WriteText(file_, "[setup]\r\nMusic=Y\r\n");
    ASSERT_TRUE(Write("setup", "SFX", "N"));
    EXPECT_EQ(ReadText(file_), "[setup]\r\nMusic=Y\r\nSFX=N\r\n");
}

TEST_F(ProfileWrite, NullValueDeletesTheKeyOnly) {
    WriteText(file_, "[setup]\nMusic=Y\nSFX=N\n[other]\nMusic=Y\n");
    ASSERT_TRUE(Write("setup", "MUSIC", nullptr));
    EXPECT_EQ(ReadText(file_), "[setup]\nSFX=N\n[other]\nMusic=Y\n");
    EXPECT_EQ(Read("setup", "music"), "<missing>");
}

TEST_F(ProfileWrite, NullKeyDeletesTheWholeSection) {
    WriteText(file_, "[setup]\nMusic=Y\n[Player1]\nname=Ann\nsend=Y\n[Player2]\nname=Bo\n");
    ASSERT_TRUE(Write("player1", nullptr, nullptr));
    EXPECT_EQ(ReadText(file_), "[setup]\nMusic=Y\n[Player2]\nname=Bo\n");
    EXPECT_EQ(Read("Player1", "name"), "<missing>");
}

TEST_F(ProfileWrite, DeletingFromAMissingFileCreatesNothing) {
    EXPECT_TRUE(Write("setup", "music", nullptr));
    EXPECT_TRUE(Write("setup", nullptr, nullptr));
    EXPECT_FALSE(std::filesystem::exists(file_));
}

TEST_F(ProfileWrite, LineBreaksInAValueCannotAddLines) {
    ASSERT_TRUE(Write("Player1", "name", "Eve\r\n[setup]\r\nplayerid=7"));
    EXPECT_EQ(Read("setup", "playerid"), "<missing>");
    EXPECT_EQ(Read("Player1", "name"), "Eve  [setup]  playerid=7");
}

TEST_F(ProfileWrite, NamesThatCannotBeStoredAreRefused) {
    EXPECT_FALSE(Write(nullptr, "k", "v"));
    EXPECT_FALSE(Write("a]b", "k", "v"));
    EXPECT_FALSE(Write("s", "k=1", "v"));
    EXPECT_FALSE(Write("s", "[k", "v"));
    EXPECT_FALSE(Write("s\n", "k", "v"));
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", nullptr));
    EXPECT_FALSE(std::filesystem::exists(file_));
}

TEST_F(ProfileWrite, MissingFolderFails) {
    std::string nested = folder_ / "no/such/options.ini";
    EXPECT_FALSE(WritePrivateProfileStringA("setup", "music", "Y", nested.c_str()));
}

TEST_F(ProfileWrite, ReplacementLeavesNoOtherFileBehind) {
    WriteText(file_, "[setup]\nMusic=Y\n");
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(Write("setup", "playerid", std::to_string(i).c_str()));
    EXPECT_EQ(FilesInFolder(), 1);
    EXPECT_EQ(Read("setup", "playerid"), "4");
}

TEST_F(ProfileWrite, FileIsReplacedNotRewrittenInPlace) {
    // A reader holding the old file keeps seeing the whole old text: the new one arrives by rename.
    WriteText(file_, "[setup]\nMusic=Y\n");
    FILE* old = std::fopen(file_.c_str(), "rb");
    ASSERT_NE(old, nullptr);
    ASSERT_TRUE(Write("setup", "Music", "N"));
    char text[64] = {};
    size_t got = std::fread(text, 1, sizeof text - 1, old);
    std::fclose(old);
    EXPECT_EQ(std::string(text, got), "[setup]\nMusic=Y\n");
    EXPECT_EQ(ReadText(file_), "[setup]\nMusic=N\n");
}

TEST_F(ProfileWrite, WrittenPathInAnotherCaseReachesTheSameFile) {
    WriteText(folder_ / "Options.ini", "[setup]\nMusic=Y\n");
    std::string other = folder_.Path() + "\\OPTIONS.INI";
    ASSERT_TRUE(WritePrivateProfileStringA("setup", "music", "N", other.c_str()));
    EXPECT_EQ(FilesInFolder(), 1);
    EXPECT_EQ(ReadText(folder_ / "Options.ini"), "[setup]\nMusic=N\n");
}

TEST_F(ProfileWrite, FreshPlayerFileReadsDefaultsThenKeepsWrites) {
    // As the player list uses it: defaults from a missing file, then the first write creates it.
    char name[64];
    GetPrivateProfileStringA("Player3", "name", "Player3", name, sizeof name, file_.c_str());
    EXPECT_STREQ(name, "Player3");
    ASSERT_TRUE(Write("Player3", "name", "Cy"));
    ASSERT_TRUE(Write("Player3", "send", "N"));
    ASSERT_TRUE(Write("setup", "playerid", "2"));
    EXPECT_EQ(Read("player3", "name"), "Cy");
    EXPECT_EQ(Read("player3", "send"), "N");
    EXPECT_EQ(GetPrivateProfileIntA("setup", "playerid", 0, file_.c_str()), 2u);
}

} // namespace
