// The level file format on its own: exact bytes written, and every malformed file refused with a reason.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tessary/model/level_file.h"
#include "tests/support/files.h"

namespace {

using testsupport::PutLe32;

void PutName(std::vector<uint8_t>& out, const std::string& name) {
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
}

// Two layers of a 2 x 2 grid, by hand.
std::vector<uint8_t> TwoLayerBytes() {
    std::vector<uint8_t> bytes;
    PutLe32(bytes, 2);
    PutName(bytes, "background");
    PutLe32(bytes, 4);
    for (int32_t cell : {0, 1, 2, 3})
        PutLe32(bytes, cell);
    PutName(bytes, "wall");
    PutLe32(bytes, 4);
    for (int32_t cell : {-1, 5, -1, 7})
        PutLe32(bytes, cell);
    return bytes;
}

bool Parse(const std::vector<uint8_t>& bytes, LevelFileData& level, std::string& error) {
    return ParseLevelFile(bytes.data(), bytes.size(), level, error);
}

} // namespace

TEST(LevelFileTest, SerializesTheExactLayout) {
    LevelFileData level;
    level.layers.push_back({"background", {0, 1, 2, 3}});
    level.layers.push_back({"wall", {-1, 5, -1, 7}});
    std::vector<uint8_t> bytes = SerializeLevelFile(level);
    EXPECT_EQ(bytes, TwoLayerBytes());
    // 4 + per layer (name + zero + count + cells).
    EXPECT_EQ(bytes.size(), size_t(4 + (10 + 1 + 4 + 16) + (4 + 1 + 4 + 16)));
    // Little-endian -1 is four 0xFF bytes.
    EXPECT_EQ(bytes[4 + 11 + 4 + 16 + 5 + 4], 0xFF);
}

TEST(LevelFileTest, ParsesWhatItWrites) {
    LevelFileData level;
    std::string error;
    ASSERT_TRUE(Parse(TwoLayerBytes(), level, error)) << error;
    ASSERT_EQ(level.layers.size(), 2u);
    EXPECT_EQ(level.layers[0].name, "background");
    EXPECT_EQ(level.layers[1].name, "wall");
    EXPECT_EQ(level.layers[1].cells, (std::vector<int32_t>{-1, 5, -1, 7}));
    EXPECT_EQ(SerializeLevelFile(level), TwoLayerBytes());
}

TEST(LevelFileTest, AcceptsEmptyLayersAndNoLayers) {
    std::vector<uint8_t> bytes;
    PutLe32(bytes, 0);
    LevelFileData level;
    std::string error;
    EXPECT_TRUE(Parse(bytes, level, error));
    EXPECT_TRUE(level.layers.empty());

    bytes.clear();
    PutLe32(bytes, 1);
    PutName(bytes, "");
    PutLe32(bytes, 0);
    ASSERT_TRUE(Parse(bytes, level, error));
    ASSERT_EQ(level.layers.size(), 1u);
    EXPECT_TRUE(level.layers[0].name.empty());
}

TEST(LevelFileTest, KeepsNamesOfExactlyThirtyOneCharacters) {
    std::vector<uint8_t> bytes;
    PutLe32(bytes, 1);
    PutName(bytes, std::string(31, 'n'));
    PutLe32(bytes, 0);
    LevelFileData level;
    std::string error;
    ASSERT_TRUE(Parse(bytes, level, error)) << error;
    EXPECT_EQ(level.layers[0].name, std::string(31, 'n'));
}

// Every way a file can be malformed is refused with a reason, and the output stays empty.
TEST(LevelFileTest, RefusesMalformedFiles) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* reasonPart;
    };
    std::vector<Case> cases;
    const std::vector<uint8_t> good = TwoLayerBytes();

    cases.push_back({"empty file", {}, "too short"});
    cases.push_back({"three bytes", {1, 0, 0}, "too short"});
    {
        std::vector<uint8_t> b;
        PutLe32(b, -1);
        cases.push_back({"negative layer count", b, "impossible layer count -1"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, kLevelMaxLayers + 1);
        cases.push_back({"huge layer count", b, "impossible layer count"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, 1);
        PutName(b, std::string(32, 'x'));
        PutLe32(b, 0);
        cases.push_back({"32-character name", b, "longer than 31"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, 1);
        b.insert(b.end(), 10, 'y'); // no terminator before the end
        cases.push_back({"unterminated name", b, "ends inside the name of layer 1"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, 1);
        PutName(b, "wall");
        b.push_back(4);
        cases.push_back({"cut cell count", b, "before the cell count"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, 1);
        PutName(b, "wall");
        PutLe32(b, -5);
        cases.push_back({"negative cell count", b, "impossible cell count -5"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, 1);
        PutName(b, "wall");
        PutLe32(b, 0x7FFFFFFF);
        cases.push_back({"huge cell count", b, "impossible cell count"});
    }
    {
        std::vector<uint8_t> b(good.begin(), good.end() - 2);
        cases.push_back({"cut inside the cells", b, "ends inside the cells of layer 2 (\"wall\")"});
    }
    {
        std::vector<uint8_t> b = good;
        b.push_back(0);
        cases.push_back({"a byte too many", b, "1 unexpected bytes"});
    }
    {
        std::vector<uint8_t> b = good;
        b[0] = 3; // a third layer that is not there
        cases.push_back({"layer count beyond the data", b, "ends inside the name of layer 3"});
    }

    for (const Case& c : cases) {
        LevelFileData level;
        level.layers.push_back({"stale", {1}});
        std::string error;
        EXPECT_FALSE(Parse(c.bytes, level, error)) << c.what;
        EXPECT_NE(error.find(c.reasonPart), std::string::npos) << c.what << ": " << error;
        EXPECT_TRUE(level.layers.empty()) << c.what;
    }
}

TEST(LevelFileTest, EveryTruncationOfAGoodFileIsRefused) {
    const std::vector<uint8_t> good = TwoLayerBytes();
    for (size_t size = 0; size < good.size(); ++size) {
        LevelFileData level;
        std::string error;
        EXPECT_FALSE(ParseLevelFile(good.data(), size, level, error)) << "size " << size;
        EXPECT_FALSE(error.empty());
    }
}

TEST(LevelFileTest, NullDataIsAnEmptyFile) {
    LevelFileData level;
    std::string error;
    EXPECT_FALSE(ParseLevelFile(nullptr, 100, level, error));
    EXPECT_NE(error.find("too short"), std::string::npos);
}
