// The hall of fame of the chosen game: the scores drawn from hiscore.dat, the upload of the best entry
// through the browser, and clearing the table.
#include "menu_fixture.h"

#include <cstring>

#include "lobbit/hall_of_fame_popup.h"

namespace lobbit_e2e {
namespace {

class HallOfFameTest : public MenuTest {
  protected:
    // A hiscore.dat of 20 entries, the given ones first and the rest empty.
    std::vector<uint8_t> Table(const std::vector<std::pair<std::string, int32_t>>& entries) const {
        std::vector<uint8_t> bytes(4 + 20 * 260, 0);
        bytes[0] = 20;
        for (size_t i = 0; i < entries.size(); ++i) {
            uint8_t* record = &bytes[4 + i * 260];
            std::memcpy(record, entries[i].first.data(), std::min<size_t>(entries[i].first.size(), 256));
            std::memcpy(record + 256, &entries[i].second, 4);
        }
        return bytes;
    }
    std::filesystem::path ScoreFile() const { return menuFolder_ / "Tessary" / "hiscore.dat"; }
};

TEST_F(HallOfFameTest, ShowsUploadsAndClearsTheScores) {
    AddGame("Tessary");
    // The second name fills all 256 bytes with no terminator: it is cut, never read past.
    WriteBytes(ScoreFile(),
               Table({{"Ann Lee:1 High St:ann@mail.example:Y", 25000}, {std::string(256, 'Z'), 900}}));
    std::string script =
        Click(10, kHighScores) + "20 capture hall.bmp\n" + Click(25, kUpload) + Click(35, kClear);
    script += Click(45, kHighScores) + "55 capture cleared.bmp\n" + Click(60, kHallBack) + Click(70, kExit);
    ASSERT_EQ(RunMenu(script, 150, {"Tessary"}), 0) << ProgramOutput();

    const Capture hall = Captured("hall.bmp");
    ASSERT_TRUE(hall.ok());
    EXPECT_TRUE(Same565(hall.At(300, 100), colours::kHallScreen));
    // Row 0 (font B) and row 1 (font A) of the first column, drawn into the popup's picture at (53, 18).
    EXPECT_TRUE(Same565(hall.At(53 + 56 + 1, 18 + 275 + 5), colours::kHallFontB));
    EXPECT_TRUE(Same565(hall.At(53 + 56 + 1, 18 + 301 + 5), colours::kHallFontA));
    EXPECT_TRUE(Same565(hall.At(53 + 56 + 1, 18 + 327 + 5), colours::kHallScreen)); // empty row

    std::vector<std::string> opened;
    for (const std::string& line : RecordLines())
        if (line.rfind("open ", 0) == 0) opened.push_back(line);
    EXPECT_EQ(opened,
              std::vector<std::string>{"open http://scores.plovix.example/cgi-bin/hiscore.cgi?game=Tessary&"
                                       "name=Ann%20Lee:1%20High%20St:ann@mail.example:Y&score=63340671"});

    const std::vector<uint8_t> cleared = ReadBytes(ScoreFile());
    ASSERT_EQ(cleared.size(), 5204u);
    EXPECT_EQ(cleared[0], 20);
    EXPECT_TRUE(std::all_of(cleared.begin() + 4, cleared.end(), [](uint8_t b) { return b == 0; }));
    const Capture again = Captured("cleared.bmp");
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(Same565(again.At(53 + 56 + 1, 18 + 275 + 5), colours::kHallScreen));
}

TEST_F(HallOfFameTest, AMissingTableUploadsAnEmptyNameAndTheMask) {
    AddGame("Tessary");
    ASSERT_EQ(RunMenu(Click(10, kHighScores) + Click(20, kUpload) + Click(30, kHallBack) + Click(40, kExit),
                      100, {"Tessary"}),
              0)
        << ProgramOutput();
    std::vector<std::string> opened;
    for (const std::string& line : RecordLines())
        if (line.rfind("open ", 0) == 0) opened.push_back(line);
    EXPECT_EQ(opened,
              std::vector<std::string>{
                  "open http://scores.plovix.example/cgi-bin/hiscore.cgi?game=Tessary&name=&score=63365591"});
    EXPECT_FALSE(std::filesystem::exists(ScoreFile())); // reading never creates the file
}

TEST(UrlEscapeTest, EscapesEachValueSoItCannotAddQueryFields) {
    EXPECT_EQ(UrlEscape(" \"#%;<>?[\\]^{|}~"), "%20%22%23%25%3b%3c%3e%3f%5b%5c%5d%5e%7b%7c%7d%7e");
    EXPECT_EQ(UrlEscape("a:b@c/d-e_f.g"), "a:b@c/d-e_f.g");
    EXPECT_EQ(UrlEscape("&=+"), "%26%3d%2b");
    EXPECT_EQ(UrlEscape(std::string("\x01\x7f\xe9", 3)), "%01%7f%e9");
    EXPECT_EQ(ScoreQuery("Tessary", "x&score=999999", 5),
              "game=Tessary&name=x%26score%3d999999&score=63365586");
    // The mask is applied to the signed score and printed signed.
    EXPECT_EQ(ScoreQuery("G", "", -1), "game=G&name=&score=" + std::to_string(-1 ^ kScoreMask));
}

} // namespace
} // namespace lobbit_e2e
