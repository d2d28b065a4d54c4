// Program paths turned into machine paths: separators, ".\" and "..\", names in any case.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "host/win/paths.h"
#include "win_test_folder.h"

namespace {

using wintest::CurrentFolderGuard;
using wintest::ReadText;
using wintest::TempFolder;
using wintest::WriteText;

class PathLookup : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteText(root_ / "BackButton.bmp", "back");
        WriteText(root_ / "Tessary/Credits.bmp", "credits");
        WriteText(root_ / "Tessary/Levels/001.lev", "level");
        WriteText(root_ / "Tessary/setup.ini", "[setup]");
        ASSERT_EQ(chdir((root_ / "Tessary").c_str()), 0);
    }
    std::string Resolve(const char* path, bool forCreate = false) {
        std::string out = "<unresolved>";
        HostResolvePath(path, out, forCreate);
        return out;
    }

    TempFolder root_;
    CurrentFolderGuard restore_;
};

TEST_F(PathLookup, BackslashesAndSlashesBothSeparate) {
    EXPECT_EQ(Resolve("Levels\\001.lev"), root_ / "Tessary/Levels/001.lev");
    EXPECT_EQ(Resolve("Levels/001.lev"), root_ / "Tessary/Levels/001.lev");
    EXPECT_EQ(Resolve(".\\Levels\\\\001.lev"), root_ / "Tessary/Levels/001.lev");
}

TEST_F(PathLookup, DotAndDotDotAreHonoured) {
    EXPECT_EQ(Resolve(".\\setup.ini"), root_ / "Tessary/setup.ini");
    EXPECT_EQ(Resolve("..\\BackButton.bmp"), root_ / "BackButton.bmp");
    EXPECT_EQ(Resolve("Levels\\..\\.\\Credits.bmp"), root_ / "Tessary/Credits.bmp");
    EXPECT_EQ(Resolve(".."), root_.Path());
    EXPECT_EQ(Resolve("..\\"), root_.Path());
}

TEST_F(PathLookup, EveryComponentIsFoundIgnoringCase) {
    EXPECT_EQ(Resolve("..\\backbutton.bmp"), root_ / "BackButton.bmp");
    EXPECT_EQ(Resolve("..\\BACKBUTTON.BMP"), root_ / "BackButton.bmp");
    EXPECT_EQ(Resolve("credits.bmp"), root_ / "Tessary/Credits.bmp");
    EXPECT_EQ(Resolve("..\\tessary\\LEVELS\\001.LEV"), root_ / "Tessary/Levels/001.lev");
}

TEST_F(PathLookup, AbsolutePathsWithMixedSeparatorsResolve) {
    // The menu builds paths from the current folder (a machine path) and backslashed names.
    std::string mixed = root_.Path() + "\\tessary\\credits.BMP";
    EXPECT_EQ(Resolve(mixed.c_str()), root_ / "Tessary/Credits.bmp");
}

TEST_F(PathLookup, ExactNameWinsOverOtherCase) {
    WriteText(root_ / "Tessary/credits.bmp", "lower");
    EXPECT_EQ(Resolve("credits.bmp"), root_ / "Tessary/credits.bmp");
    EXPECT_EQ(Resolve("Credits.bmp"), root_ / "Tessary/Credits.bmp");
    // Neither exact: the first in byte order, the same every time.
    EXPECT_EQ(Resolve("CREDITS.BMP"), root_ / "Tessary/Credits.bmp");
}

TEST_F(PathLookup, MissingComponentsFail) {
    EXPECT_EQ(Resolve("nosuch.bmp"), "<unresolved>");
    EXPECT_EQ(Resolve("Nosuch\\001.lev"), "<unresolved>");
    EXPECT_EQ(Resolve("setup.ini\\x"), "<unresolved>"); // a file used as a folder
    EXPECT_EQ(Resolve(""), "<unresolved>");
    std::string out = "kept";
    EXPECT_FALSE(HostResolvePath(nullptr, out, false));
    EXPECT_EQ(out, "kept");
}

TEST_F(PathLookup, CreatingKeepsTheNewNameAndFindsTheFolder) {
    EXPECT_EQ(Resolve("LEVELS\\NEW.lev", true), root_ / "Tessary/Levels/NEW.lev");
    // An existing file in another case is the one that gets replaced.
    EXPECT_EQ(Resolve("SETUP.INI", true), root_ / "Tessary/setup.ini");
    EXPECT_EQ(Resolve("NoFolder\\new.lev", true), "<unresolved>");
}

TEST_F(PathLookup, OpenFileReadsThroughTheLookup) {
    FILE* file = HostOpenFile("..\\backbutton.BMP", "rb");
    ASSERT_NE(file, nullptr);
    char text[8] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text - 1, file), 4u);
    std::fclose(file);
    EXPECT_STREQ(text, "back");
    EXPECT_EQ(HostOpenFile("missing.bmp", "rb"), nullptr);
    EXPECT_EQ(HostOpenFile("x.bmp", nullptr), nullptr);
}

TEST_F(PathLookup, OpenFileForWritingCreatesInAFolderFoundIgnoringCase) {
    FILE* file = HostOpenFile("levels\\002.LEV", "wb+");
    ASSERT_NE(file, nullptr);
    std::fputs("two", file);
    std::fclose(file);
    EXPECT_EQ(ReadText(root_ / "Tessary/Levels/002.LEV"), "two");
}

TEST_F(PathLookup, OpenFileForWritingReplacesAnExistingFileInOtherCase) {
    FILE* file = HostOpenFile("CREDITS.BMP", "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("new", file);
    std::fclose(file);
    EXPECT_EQ(ReadText(root_ / "Tessary/Credits.bmp"), "new");
    EXPECT_FALSE(std::filesystem::exists(root_ / "Tessary/CREDITS.BMP"));
}

TEST_F(PathLookup, OpenFileForAppendingAddsToTheFoundFile) {
    FILE* file = HostOpenFile("..\\BACKBUTTON.bmp", "ab");
    ASSERT_NE(file, nullptr);
    std::fputs("+", file);
    std::fclose(file);
    EXPECT_EQ(ReadText(root_ / "BackButton.bmp"), "back+");
}

// Whole files are read past one chunk, up to the caller's cap and no further; an empty file reads as nothing.
TEST_F(PathLookup, WholeFilesAreReadUpToTheirCap) {
    const std::string big(70000, 'x');
    WriteText(root_ / "Tessary/big.bin", big);
    WriteText(root_ / "Tessary/empty.bin", "");
    struct Case {
        const char* name;
        size_t limit;
        bool read;
        size_t size;
    } cases[] = {{"big.bin", 70000, true, 70000},
                 {"big.bin", 69999, false, 0},
                 {"big.bin", SIZE_MAX, true, 70000},
                 {"big.bin", 0, false, 0},
                 {"empty.bin", 0, true, 0}};
    for (const Case& c : cases) {
        FILE* file = HostOpenFile(c.name, "rb");
        ASSERT_NE(file, nullptr) << c.name;
        std::vector<uint8_t> bytes{1, 2, 3};
        EXPECT_EQ(HostReadWholeFile(file, c.limit, bytes), c.read) << c.name << " " << c.limit;
        std::fclose(file);
        if (c.read) {
            EXPECT_EQ(bytes.size(), c.size) << c.name << " " << c.limit;
            EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 'x'; }));
        }
    }
}

} // namespace
