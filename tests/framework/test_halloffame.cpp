// The hall of fame: insertion order, the 20-entry table, and the "hiscore.dat" file byte for byte,
// with damaged files refused and the table kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/halloffame.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

// A file image: count, then names (zero-padded to 256 bytes) and scores.
std::vector<uint8_t> FileImage(int32_t count, const std::vector<std::pair<std::string, int32_t>>& entries) {
    std::vector<uint8_t> bytes;
    testsupport::PutLe32(bytes, uint32_t(count));
    for (const auto& [name, score] : entries) {
        bytes.resize(bytes.size() + 256, 0);
        std::copy_n(name.begin(), std::min<size_t>(name.size(), 256), bytes.end() - 256);
        testsupport::PutLe32(bytes, uint32_t(score));
    }
    return bytes;
}

std::vector<int32_t> Scores(const HallOfFame& table) {
    std::vector<int32_t> scores;
    for (int i = 0; i < table.GetCount(); ++i)
        scores.push_back(table.GetEntries()[i].score);
    return scores;
}

class HallOfFameTest : public ::testing::Test {
  protected:
    void SetUp() override { table_.Allocate(kHallOfFameEntries); }

    // A table of 20 with these scores on top, named after their rank.
    void Fill(const std::vector<int>& scores) {
        for (size_t i = 0; i < scores.size(); ++i)
            ASSERT_EQ(table_.Insert(("p" + std::to_string(i)).c_str(), scores[i]), scores[i] > 0 ? 1 : 0);
    }

    HallOfFame table_;
    TempFolder folder_{"quib-hof-test"};
};

} // namespace

TEST_F(HallOfFameTest, FreshTableIsTwentyEmptyEntries) {
    ASSERT_EQ(table_.GetCount(), 20);
    for (int i = 0; i < 20; ++i) {
        EXPECT_STREQ(table_.GetEntries()[i].name, "");
        EXPECT_EQ(table_.GetEntries()[i].score, 0);
    }
    EXPECT_EQ(table_.GetTopScore(), 0);
    HallOfFame none;
    EXPECT_EQ(none.GetTopScore(), 0);
    EXPECT_EQ(none.GetEntries(), nullptr);
    EXPECT_EQ(none.Insert("a", 5), 0);
}

TEST_F(HallOfFameTest, InsertKeepsDescendingOrderWithTiesBelow) {
    Fill({500, 300, 300, 100});
    EXPECT_EQ(table_.Insert("new", 300), 1);
    EXPECT_STREQ(table_.GetEntries()[3].name, "new"); // below both 300s
    EXPECT_STREQ(table_.GetEntries()[1].name, "p1");
    EXPECT_STREQ(table_.GetEntries()[2].name, "p2");
    EXPECT_STREQ(table_.GetEntries()[4].name, "p3");
    std::vector<int32_t> expected = {500, 300, 300, 300, 100};
    expected.resize(20, 0);
    EXPECT_EQ(Scores(table_), expected);
    EXPECT_EQ(table_.GetTopScore(), 500);
    EXPECT_EQ(table_.GetBestScore(), 500);
}

TEST_F(HallOfFameTest, ZeroDoesNotEnterAnEmptyTableButOneDoes) {
    EXPECT_EQ(table_.Insert("zero", 0), 0);
    EXPECT_STREQ(table_.GetEntries()[0].name, "");
    EXPECT_EQ(table_.Insert("one", 1), 1);
    EXPECT_STREQ(table_.GetEntries()[0].name, "one");
    EXPECT_EQ(table_.Insert("negative", -5), 0);
}

TEST_F(HallOfFameTest, FullTableDropsTheLastAndRefusesTheLowest) {
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(table_.Insert(("s" + std::to_string(i)).c_str(), 1000 - i * 10), 1);
    EXPECT_EQ(table_.GetEntries()[19].score, 810);
    EXPECT_EQ(table_.Insert("low", 810), 0); // not higher than the last
    EXPECT_EQ(table_.Insert("mid", 905), 1);
    EXPECT_EQ(table_.GetEntries()[10].score, 905);
    EXPECT_EQ(table_.GetEntries()[19].score, 820);
    EXPECT_STREQ(table_.GetEntries()[19].name, "s18");
}

TEST_F(HallOfFameTest, LongNamesAreCutTo255Characters) {
    std::string longName(400, 'x');
    ASSERT_EQ(table_.Insert(longName.c_str(), 10), 1);
    EXPECT_EQ(std::strlen(table_.GetEntries()[0].name), 255u);
    EXPECT_EQ(table_.GetEntries()[0].score, 10);
    EXPECT_EQ(table_.GetEntries()[1].score, 0); // the neighbour is untouched
    EXPECT_EQ(table_.Insert(nullptr, 20), 1);
    EXPECT_STREQ(table_.GetEntries()[0].name, "");
}

TEST_F(HallOfFameTest, WriteGivesTheExactLayout) {
    Fill({700, 1});
    table_.Insert("Player1:addr:mail:Y", 497);
    std::string path = folder_ / "hiscore.dat";
    ASSERT_EQ(table_.Write(path.c_str()), 1);
    std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 5204u);
    std::vector<uint8_t> expected = FileImage(20, {{"p0", 700}, {"Player1:addr:mail:Y", 497}, {"p1", 1}});
    expected.resize(5204, 0);
    EXPECT_EQ(bytes, expected);
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
}

TEST_F(HallOfFameTest, FreshTableWritesCountThenZeros) {
    std::string path = folder_ / "hiscore.dat";
    ASSERT_EQ(table_.Write(path.c_str()), 1);
    std::vector<uint8_t> expected(5204, 0);
    expected[0] = 20;
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST_F(HallOfFameTest, FileRoundTripIsByteForByte) {
    std::vector<std::pair<std::string, int32_t>> entries;
    for (int i = 0; i < 20; ++i)
        entries.push_back({"name" + std::to_string(i), 100000 - i * 777});
    entries[19].second = -2147483647 - 1; // the full signed range survives
    std::vector<uint8_t> image = FileImage(20, entries);
    image[4 + 260 * 3 + 100] = 0x5A; // bytes after a terminator are kept as they are
    std::string in = folder_ / "in.dat";
    WriteBytes(in, image);
    ASSERT_EQ(table_.Read(in.c_str()), 1);
    EXPECT_STREQ(table_.GetEntries()[0].name, "name0");
    EXPECT_EQ(table_.GetEntries()[19].score, -2147483647 - 1);
    std::string out = folder_ / "out.dat";
    ASSERT_EQ(table_.Write(out.c_str()), 1);
    EXPECT_EQ(ReadBytes(out), image);
}

TEST_F(HallOfFameTest, WrongCountIsRefusedAndTheTableKept) {
    Fill({50, 40});
    std::string path = folder_ / "ten.dat";
    WriteBytes(path, FileImage(10, std::vector<std::pair<std::string, int32_t>>(10, {"x", 9})));
    EXPECT_EQ(table_.Read(path.c_str()), 0);
    WriteBytes(path, FileImage(-20, std::vector<std::pair<std::string, int32_t>>(20, {"x", 9})));
    EXPECT_EQ(table_.Read(path.c_str()), 0);
    std::vector<int32_t> expected = {50, 40};
    expected.resize(20, 0);
    EXPECT_EQ(Scores(table_), expected);
    EXPECT_STREQ(table_.GetEntries()[0].name, "p0");
}

TEST_F(HallOfFameTest, TruncatedFilesAreRefusedAndTheTableKept) {
    Fill({50, 40});
    std::vector<uint8_t> image = FileImage(20, std::vector<std::pair<std::string, int32_t>>(20, {"x", 9}));
    std::string path = folder_ / "cut.dat";
    for (size_t size : {size_t(0), size_t(3), size_t(4), size_t(300), image.size() - 1}) {
        WriteBytes(path, std::vector<uint8_t>(image.begin(), image.begin() + long(size)));
        EXPECT_EQ(table_.Read(path.c_str()), 0) << size;
        EXPECT_EQ(table_.GetEntries()[0].score, 50) << size;
        EXPECT_EQ(table_.GetEntries()[2].score, 0) << size;
    }
    EXPECT_EQ(table_.Read((folder_ / "missing.dat").c_str()), 0);
    EXPECT_EQ(table_.Read(nullptr), 0);
    EXPECT_EQ(table_.GetTopScore(), 50);
    // A longer file holds the whole table: the rest is ignored.
    image.push_back(7);
    WriteBytes(path, image);
    EXPECT_EQ(table_.Read(path.c_str()), 1);
    EXPECT_EQ(table_.GetTopScore(), 9);
}

TEST_F(HallOfFameTest, NamesWithoutTerminatorAreCutOnRead) {
    std::vector<uint8_t> image = FileImage(20, {});
    image.resize(5204, 0);
    std::memset(image.data() + 4, 'A', 256);
    std::string path = folder_ / "long.dat";
    WriteBytes(path, image);
    ASSERT_EQ(table_.Read(path.c_str()), 1);
    EXPECT_EQ(std::strlen(table_.GetEntries()[0].name), 255u);
}

TEST_F(HallOfFameTest, FailedWriteKeepsTheOldFile) {
    EXPECT_EQ(table_.Write((folder_ / "no-such-folder/hiscore.dat").c_str()), 0);
    EXPECT_EQ(table_.Write(nullptr), 0);
    std::string path = folder_ / "hiscore.dat";
    Fill({10});
    ASSERT_EQ(table_.Write(path.c_str()), 1);
    std::vector<uint8_t> before = ReadBytes(path);
    // The new file cannot be made beside the old one: the old one stays whole.
    std::filesystem::create_directory(path + ".new");
    table_.Insert("later", 20);
    EXPECT_EQ(table_.Write(path.c_str()), 0);
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(HallOfFameTest, ProgramPathsFindTheFileInAnyCase) {
    Fill({33});
    std::string path = folder_ / "hiscore.dat";
    ASSERT_EQ(table_.Write(path.c_str()), 1);
    HallOfFame other;
    other.Allocate(20);
    std::string programPath = folder_.Path() + "\\HISCORE.DAT";
    ASSERT_EQ(other.Read(programPath.c_str()), 1);
    EXPECT_EQ(other.GetTopScore(), 33);
    // Writing through that name replaces the same file.
    other.Insert("x", 44);
    ASSERT_EQ(other.Write(programPath.c_str()), 1);
    ASSERT_EQ(table_.Read(path.c_str()), 1);
    EXPECT_EQ(table_.GetTopScore(), 44);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "HISCORE.DAT"));
}

TEST_F(HallOfFameTest, AllocateStartsOver) {
    Fill({5});
    table_.Allocate(3);
    EXPECT_EQ(table_.GetCount(), 3);
    EXPECT_EQ(table_.GetTopScore(), 0);
    table_.Allocate(0);
    EXPECT_EQ(table_.GetCount(), 0);
    EXPECT_EQ(table_.Insert("a", 1), 0);
    table_.Free();
    table_.Free();
}
