// Level 1 played with the package's own files: "new", the magnet held by a script brings the four balls
// home, the goals and the time bonus are scored and level 2 follows. The panel is read from the captures
// with the package's own bitmaps: every digit, order marker and timer marker cell must show exactly the
// generated art over the clean background.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "game_fixture.h"

#ifndef QUIB_GAME_DIR
#error "the package play test needs QUIB_GAME_DIR (the package's game folder)"
#endif

namespace tessary_e2e {
namespace {

namespace fs = std::filesystem;

// The panel as the game lays it out.
constexpr int kScoreX = 84, kScoreY = 228, kBestY = 178;
constexpr int kLevelX = 54, kLevelY = 278;
constexpr int kOrderX = 5, kOrderY = 309, kOrderCell = 25;
constexpr int kTimerX = 5, kTimerY = 341, kTimerColumns = 10, kTimerRows = 13;
constexpr int kDigitCell = 12;
// BallOrder.bmp frames: slot i waiting for its colour (r, g, b, y), and the first "done" frame.
const std::vector<int> kOrderWaiting{0, 5, 10, 15};
constexpr int kOrderDoneFrame = 16;
// Goals 125 each, the level bonus 40000; each second left adds 25.
constexpr int kSolvedPoints = 4 * 125 + 40000;
constexpr int kPointsPerSecond = 25;

// Level 1 ("Four Rooms") on the package's grid (x 120, y 12, 24-pixel cells): the goals sit beside the
// middle walls on rows 9 and 14. The pointer held at the middle column on row 9 brings the upper balls
// home, then on row 14 the lower ones.
std::string SolveLevelOne() {
    return "10 move 82 500\n11 down left\n14 up left\n"
           "20 move 456 240\n22 down left\n400 up left\n"
           "404 move 456 360\n406 down left\n800 up left\n";
}

bool IsKey(Rgb c) {
    return c.r == 0 && c.g == 0 && c.b == 255;
}

// Whether the screen shows the w x h cell of sheet at (sx, sy) drawn at (x, y) with its key over the
// clean background, and the drawing shows at all (some pixel differs from the clean background).
bool ShowsCell(const Capture& screen, const Capture& clean, const Capture& sheet, int sx, int sy, int w,
               int h, int x, int y) {
    bool differs = false;
    for (int dy = 0; dy < h; ++dy)
        for (int dx = 0; dx < w; ++dx) {
            const Rgb art = sheet.At(sx + dx, sy + dy), under = clean.At(x + dx, y + dy);
            const Rgb expected = IsKey(art) ? under : art;
            if (!Same565(screen.At(x + dx, y + dy), expected)) return false;
            differs |= !Same565(expected, under);
        }
    return differs;
}

class PackagePlayE2E : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        // The package's game folder as the build laid it out, instead of the fixture's own content.
        fs::remove_all(gameFolder_);
        fs::copy(fs::path(QUIB_GAME_DIR), gameFolder_, fs::copy_options::recursive);
        std::error_code ignored;
        for (const char* stale : {"hiscore.dat", "debug.log", "script.txt", "record.txt", "program.log"})
            fs::remove(gameFolder_ / stale, ignored);
        clean_ = Captured("background.bmp");
        font_ = Captured("scorefont.bmp");
        order_ = Captured("BallOrder.bmp");
        marker_[0] = Captured("TimerMarker0.bmp");
        marker_[1] = Captured("TimerMarker1.bmp");
        ASSERT_TRUE(clean_.ok() && font_.ok() && order_.ok() && marker_[0].ok() && marker_[1].ok())
            << "the package's panel art cannot be read";
    }

    // The number whose last digit is drawn at (lastDigitX, y), read with the package's digit font; '?'
    // for a cell that shows no digit.
    std::string Number(const Capture& screen, int lastDigitX, int y, int digits) const {
        std::string text;
        for (int i = digits - 1; i >= 0; --i) {
            char shown = '?';
            for (int n = 0; n < 10; ++n)
                if (ShowsCell(screen, clean_, font_, n * kDigitCell, 0, kDigitCell, kDigitCell,
                              lastDigitX - i * kDigitCell, y))
                    shown = char('0' + n);
            text += shown;
        }
        return text;
    }

    // The first BallOrder.bmp frame each of the four order slots shows; -1 for none.
    std::vector<int> OrderFrames(const Capture& screen) const {
        std::vector<int> frames;
        for (int slot = 0; slot < 4; ++slot) {
            int shown = -1;
            for (int f = 0; f < 20; ++f)
                if (ShowsCell(screen, clean_, order_, (f % 4) * kOrderCell, (f / 4) * kOrderCell, kOrderCell,
                              kOrderCell, kOrderX + slot * kOrderCell, kOrderY)) {
                    shown = f; // the done frames may look alike: the first one stands for them
                    break;
                }
            frames.push_back(shown);
        }
        return frames;
    }

    // The timer bar's marker count: remaining-second markers, then one last-second marker, then the clean
    // background (a full bar has no last-second marker). -1 when the bar shows anything else.
    int TimerMarkers(const Capture& screen) const {
        const int w = marker_[0].width, h = marker_[0].height;
        int count = 0;
        bool ended = false;
        for (int i = 0; i < kTimerColumns * kTimerRows; ++i) {
            const int x = kTimerX + (i % kTimerColumns) * w, y = kTimerY + (i / kTimerColumns) * h;
            const bool remaining = ShowsCell(screen, clean_, marker_[0], 0, 0, w, h, x, y);
            const bool last = ShowsCell(screen, clean_, marker_[1], 0, 0, w, h, x, y);
            bool empty = true;
            for (int dy = 0; dy < h; ++dy)
                for (int dx = 0; dx < w; ++dx)
                    empty &= Same565(screen.At(x + dx, y + dy), clean_.At(x + dx, y + dy));
            if (ended ? !empty : !(remaining || last || empty)) return -1;
            if (!ended && (remaining || last)) ++count;
            ended |= last || empty;
        }
        return count;
    }

    int HallOfFameTop() const {
        const std::vector<uint8_t> bytes = testsupport::ReadBytes(gameFolder_ / "hiscore.dat");
        if (bytes.size() != 5204) return -1;
        return int(testsupport::Le32(bytes, 260));
    }

    Capture clean_, font_, order_, marker_[2];
};

TEST_F(PackagePlayE2E, LevelOneSolvedByScriptIsScoredAndLevelTwoFollows) {
    const std::string script = SolveLevelOne() + "5 capture idle.bmp\n300 capture playing.bmp\n"
                                                 "700 capture solved.bmp\n900 capture tally.bmp\n"
                                                 "1400 capture level2.bmp\n";
    ASSERT_EQ(RunGame(script, 1450), 0) << ProgramOutput();
    for (const std::string& line : RecordLines())
        EXPECT_NE(line.rfind("message", 0), 0u) << line;

    const Capture idle = Captured("idle.bmp");
    ASSERT_TRUE(idle.ok());
    EXPECT_EQ(Number(idle, kLevelX, kLevelY, 2), "01");
    EXPECT_EQ(Number(idle, kScoreX, kScoreY, 7), "0000000");
    EXPECT_EQ(Number(idle, kScoreX, kBestY, 7), "0000000");
    EXPECT_EQ(OrderFrames(idle), kOrderWaiting);
    EXPECT_EQ(TimerMarkers(idle), 0); // no bar before "new"

    // Under way: some balls home, each scoring; their order slots show done, the others their colour.
    const Capture playing = Captured("playing.bmp");
    ASSERT_TRUE(playing.ok());
    const std::vector<int> order = OrderFrames(playing);
    int done = 0;
    for (int slot = 0; slot < 4; ++slot) {
        if (order[size_t(slot)] >= kOrderDoneFrame)
            ++done;
        else
            EXPECT_EQ(order[size_t(slot)], kOrderWaiting[size_t(slot)]) << "slot " << slot;
    }
    EXPECT_TRUE(done >= 1 && done < 4) << done;
    char points[16];
    std::snprintf(points, sizeof points, "%07d", 125 * done);
    EXPECT_EQ(Number(playing, kScoreX, kScoreY, 7), points);
    EXPECT_GT(TimerMarkers(playing), 0);

    // Solved, then the tally: every slot done; the seconds left move from the bar into the score, so
    // seconds scored plus markers left stay the same, and end as the hall of fame's top score.
    const int top = HallOfFameTop();
    ASSERT_GT(top, kSolvedPoints) << "no time bonus";
    EXPECT_EQ((top - kSolvedPoints) % kPointsPerSecond, 0) << top;
    const int secondsLeftAtSolve = (top - kSolvedPoints) / kPointsPerSecond;
    int previousMarkers = 1000;
    for (const char* name : {"solved.bmp", "tally.bmp"}) {
        const Capture screen = Captured(name);
        ASSERT_TRUE(screen.ok()) << name;
        for (int frame : OrderFrames(screen))
            EXPECT_GE(frame, kOrderDoneFrame) << name;
        const int score = std::atoi(Number(screen, kScoreX, kScoreY, 7).c_str());
        const int markers = TimerMarkers(screen);
        EXPECT_GT(markers, 0) << name;
        EXPECT_LT(markers, previousMarkers) << name;
        EXPECT_EQ(score, kSolvedPoints + kPointsPerSecond * (secondsLeftAtSolve - markers)) << name;
        previousMarkers = markers;
    }

    // Level 2 waits: the next level's points, the best score, a fresh order and a full 120-second bar.
    const Capture level2 = Captured("level2.bmp");
    ASSERT_TRUE(level2.ok());
    EXPECT_EQ(Number(level2, kLevelX, kLevelY, 2), "02");
    EXPECT_EQ(Number(level2, kScoreX, kScoreY, 7), "0001000");
    char best[16];
    std::snprintf(best, sizeof best, "%07d", top);
    EXPECT_EQ(Number(level2, kScoreX, kBestY, 7), best);
    EXPECT_EQ(OrderFrames(level2), kOrderWaiting);
    EXPECT_EQ(TimerMarkers(level2), 120);
    const std::string text = testsupport::ReadText(gameFolder_ / "setup.ini");
    EXPECT_NE(text.find("solved=2"), std::string::npos);
}

} // namespace
} // namespace tessary_e2e
