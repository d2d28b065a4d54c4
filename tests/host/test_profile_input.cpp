// The profile reader on files it did not write: odd line ends, very long lines, binary junk.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/win/profile.h"
#include "win_test_folder.h"

namespace {

using wintest::TempFolder;
using wintest::WriteText;

std::string Read(const std::string& file, const char* section, const char* key, DWORD size = 256) {
    std::string buffer(size, 'z');
    DWORD got = GetPrivateProfileStringA(section, key, "<missing>", buffer.data(), size, file.c_str());
    EXPECT_LT(got, size);
    return std::string(buffer.c_str());
}

TEST(ProfileInput, LastLineWithoutLineEndIsRead) {
    TempFolder folder;
    WriteText(folder / "a.ini", "[setup]\r\nfullscreen=1");
    EXPECT_EQ(Read(folder / "a.ini", "setup", "fullscreen"), "1");
}

TEST(ProfileInput, MixedLineEndsAndByteOrderMarkAreRead) {
    TempFolder folder;
    WriteText(folder / "a.ini", "\xEF\xBB\xBF[setup]\nMusic=Y\r\nSFX=N\r\n[x]\ry=1\n");
    EXPECT_EQ(Read(folder / "a.ini", "setup", "music"), "Y");
    EXPECT_EQ(Read(folder / "a.ini", "setup", "sfx"), "N");
}

TEST(ProfileInput, VeryLongLinesAreCutNotOverrun) {
    TempFolder folder;
    std::string longValue(100000, 'v');
    std::string longName(50000, 'n');
    WriteText(folder / "a.ini", "[setup]\nlong=" + longValue + "\n[" + longName + "]\nk=v\n");
    EXPECT_EQ(Read(folder / "a.ini", "setup", "long", 64), std::string(63, 'v'));
    EXPECT_EQ(Read(folder / "a.ini", longName.c_str(), "k"), "v");
}

TEST(ProfileInput, BinaryJunkReadsAsDefaultsAndCanBeWrittenOver) {
    TempFolder folder;
    std::string junk;
    for (int i = 0; i < 3000; ++i)
        junk += char((i * 37 + 11) & 0xFF);
    junk[100] = '\0';
    WriteText(folder / "a.ini", junk);
    std::string file = folder / "a.ini";
    EXPECT_EQ(Read(file, "setup", "music"), "<missing>");
    EXPECT_EQ(GetPrivateProfileIntA("setup", "music", 5, file.c_str()), 5u);
    ASSERT_TRUE(WritePrivateProfileStringA("setup", "music", "N", file.c_str()));
    EXPECT_EQ(Read(file, "setup", "music"), "N");
    // The junk itself is kept: the file only grew by the new section.
    EXPECT_EQ(wintest::ReadText(file).compare(0, junk.size(), junk), 0);
}

TEST(ProfileInput, UnclosedSectionHeaderStillNamesTheSection) {
    TempFolder folder;
    WriteText(folder / "a.ini", "[setup\nk=v\n[  spaced  ]\nj=w\n");
    EXPECT_EQ(Read(folder / "a.ini", "setup", "k"), "v");
    EXPECT_EQ(Read(folder / "a.ini", "spaced", "j"), "w");
}

TEST(ProfileInput, AFolderInPlaceOfTheFileReadsAsDefaultsAndRefusesWrites) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "options.ini");
    std::string file = folder / "options.ini";
    EXPECT_EQ(Read(file, "setup", "music"), "<missing>");
    EXPECT_FALSE(WritePrivateProfileStringA("setup", "music", "N", file.c_str()));
}

TEST(ProfileInput, HugeNumbersWrapInsteadOfOverflowing) {
    TempFolder folder;
    WriteText(folder / "a.ini", "[s]\nbig=99999999999999999999999\nmax=4294967295\n");
    std::string file = folder / "a.ini";
    EXPECT_EQ(GetPrivateProfileIntA("s", "max", 0, file.c_str()), 4294967295u);
    GetPrivateProfileIntA("s", "big", 0, file.c_str()); // defined result, no undefined overflow (UBSan)
}

} // namespace
