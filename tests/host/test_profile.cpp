// The profile functions' reading rules: names in any case, defaults, cutting, trimming, integers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/win/profile.h"
#include "win_test_folder.h"

namespace {

using wintest::TempFolder;
using wintest::WriteText;

class ProfileRead : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = folder_ / "options.ini";
        WriteText(file_, "[Setup]\r\n"
                         "Music=N\r\n"
                         "playerid = 3 \r\n"
                         "  spaced key   =   value with  inner spaces   \r\n"
                         "quoted=\"  kept inside  \"\r\n"
                         "single='x'\r\n"
                         "empty=\r\n"
                         "solved=42A\r\n"
                         "word=abc\r\n"
                         "negative=-17\r\n"
                         "plus=+5\r\n"
                         "long=abcdefghij\r\n"
                         "[Player1]\r\n"
                         "name=Ann\r\n");
    }
    std::string Read(const char* section, const char* key, const char* defaultValue = "dflt") {
        char buffer[256];
        std::memset(buffer, 'z', sizeof buffer);
        DWORD got =
            GetPrivateProfileStringA(section, key, defaultValue, buffer, sizeof buffer, file_.c_str());
        EXPECT_EQ(got, std::strlen(buffer));
        return buffer;
    }
    UINT ReadInt(const char* key, int defaultValue = 99) {
        return GetPrivateProfileIntA("setup", key, defaultValue, file_.c_str());
    }

    TempFolder folder_;
    std::string file_;
};

TEST_F(ProfileRead, SectionAndKeyNamesIgnoreCase) {
    EXPECT_EQ(Read("setup", "music"), "N");
    EXPECT_EQ(Read("SETUP", "MUSIC"), "N");
    EXPECT_EQ(Read("player1", "NAME"), "Ann");
}

TEST_F(ProfileRead, MissingSectionKeyOrFileGivesTheDefault) {
    EXPECT_EQ(Read("setup", "nosuchkey"), "dflt");
    EXPECT_EQ(Read("nosuchsection", "music"), "dflt");
    EXPECT_EQ(Read("player1", "music"), "dflt"); // the key exists, but in another section
    std::string missing = folder_ / "missing.ini";
    char buffer[16];
    EXPECT_EQ(GetPrivateProfileStringA("setup", "music", "Y", buffer, sizeof buffer, missing.c_str()), 1u);
    EXPECT_STREQ(buffer, "Y");
}

TEST_F(ProfileRead, NullDefaultReadsAsEmpty) {
    EXPECT_EQ(Read("setup", "nosuchkey", nullptr), "");
}

TEST_F(ProfileRead, PresentEmptyValueIsNotTheDefault) {
    EXPECT_EQ(Read("setup", "empty"), "");
}

TEST_F(ProfileRead, SpacesAroundKeysAndValuesAreTrimmed) {
    EXPECT_EQ(Read("setup", "playerid"), "3");
    EXPECT_EQ(Read("setup", "spaced key"), "value with  inner spaces");
}

TEST_F(ProfileRead, OnePairOfEnclosingQuotesIsRemoved) {
    EXPECT_EQ(Read("setup", "quoted"), "  kept inside  ");
    EXPECT_EQ(Read("setup", "single"), "x");
}

TEST_F(ProfileRead, ValueIsCutToBufferSizeLessOneAndTerminated) {
    char buffer[8];
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileStringA("setup", "long", "", buffer, 4, file_.c_str()), 3u);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(buffer[4], 'z'); // nothing written past the given size

    EXPECT_EQ(GetPrivateProfileStringA("setup", "long", "", buffer, 1, file_.c_str()), 0u);
    EXPECT_EQ(buffer[0], '\0');
    // The default is cut the same way.
    EXPECT_EQ(GetPrivateProfileStringA("setup", "none", "123456", buffer, 3, file_.c_str()), 2u);
    EXPECT_STREQ(buffer, "12");
}

TEST_F(ProfileRead, ZeroSizeOrNullBufferWritesNothing) {
    char buffer[4] = {'z', 'z', 'z', 'z'};
    EXPECT_EQ(GetPrivateProfileStringA("setup", "music", "", buffer, 0, file_.c_str()), 0u);
    EXPECT_EQ(buffer[0], 'z');
    EXPECT_EQ(GetPrivateProfileStringA("setup", "music", "", nullptr, 4, file_.c_str()), 0u);
}

TEST_F(ProfileRead, SendFlagKeepsOneCharacterInATwoByteBuffer) {
    char send[2];
    WriteText(file_, "[Player2]\nsend=No\n");
    GetPrivateProfileStringA("Player2", "send", "Y", send, sizeof send, file_.c_str());
    EXPECT_STREQ(send, "N");
}

TEST_F(ProfileRead, IntegerReadsLeadingDigitsWithSign) {
    EXPECT_EQ(ReadInt("solved"), 42u);
    EXPECT_EQ(ReadInt("playerid"), 3u);
    EXPECT_EQ(int(ReadInt("negative")), -17);
    EXPECT_EQ(ReadInt("plus"), 5u);
}

TEST_F(ProfileRead, IntegerOfPresentNonNumericOrEmptyValueIsZero) {
    EXPECT_EQ(ReadInt("word"), 0u);
    EXPECT_EQ(ReadInt("empty"), 0u);
    EXPECT_EQ(ReadInt("music"), 0u);
}

TEST_F(ProfileRead, IntegerOfMissingKeyIsTheDefault) {
    EXPECT_EQ(ReadInt("nosuchkey", 7), 7u);
    EXPECT_EQ(int(ReadInt("nosuchkey", -1)), -1);
}

TEST_F(ProfileRead, RepeatedSectionsAndKeysGiveTheFirstValue) {
    WriteText(file_, "[a]\nx=1\nx=9\n[A]\nx=2\ny=3\n");
    EXPECT_EQ(Read("a", "x"), "1");
    EXPECT_EQ(Read("a", "y"), "3"); // a key only in the second block of the section is found
}

TEST_F(ProfileRead, CommentsAndStrayLinesAreNotKeys) {
    WriteText(file_, "top=before any section\n[s]\n;hidden=1\nno equals sign\nk=v\n");
    EXPECT_EQ(Read("s", ";hidden"), "dflt");
    EXPECT_EQ(Read("s", "no equals sign"), "dflt");
    EXPECT_EQ(Read("s", "k"), "v");
}

TEST_F(ProfileRead, ListsSectionNamesWithNullSection) {
    char buffer[64];
    DWORD got = GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer, sizeof buffer, file_.c_str());
    ASSERT_EQ(got, std::strlen("Setup") + 1 + std::strlen("Player1") + 1);
    EXPECT_EQ(std::string(buffer, got), std::string("Setup\0Player1\0", 14));
    EXPECT_EQ(buffer[got], '\0');
}

TEST_F(ProfileRead, ListsKeyNamesWithNullKey) {
    char buffer[64];
    DWORD got = GetPrivateProfileStringA("PLAYER1", nullptr, nullptr, buffer, sizeof buffer, file_.c_str());
    EXPECT_EQ(std::string(buffer, got), std::string("name\0", 5));
}

TEST_F(ProfileRead, CutListEndsWithTwoTerminatorsAndReturnsSizeLessTwo) {
    char buffer[8];
    DWORD got = GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer, sizeof buffer, file_.c_str());
    EXPECT_EQ(got, 6u);
    EXPECT_EQ(std::string(buffer, 8), std::string("Setup\0\0\0", 8)); // "Player1" did not fit
}

TEST(ProfilePath, FileIsFoundThroughProgramPathsInAnyCase) {
    TempFolder folder;
    wintest::CurrentFolderGuard restore;
    WriteText(folder / "Options.INI", "[setup]\nmusic=N\n");
    WriteText(folder / "Tessary/setup.ini", "[setup]\nfullscreen=1\n");
    ASSERT_EQ(chdir((folder / "Tessary").c_str()), 0);
    char music[4];
    GetPrivateProfileStringA("setup", "music", "Y", music, sizeof music, "..\\options.ini");
    EXPECT_STREQ(music, "N");
    EXPECT_EQ(GetPrivateProfileIntA("setup", "fullscreen", 0, ".\\setup.ini"), 1u);
    EXPECT_EQ(GetPrivateProfileIntA("setup", "fullscreen", 0, "SETUP.ini"), 1u);
}

} // namespace
