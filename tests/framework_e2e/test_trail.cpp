// The "trail" scene end to end, full screen and in a window: a sprite moves every frame and the cursor
// follows the scripted mouse; every captured frame shows each exactly once, where it is now, on an
// otherwise untouched background (the screen updater and the cursor's save-under repaired the rest).
#include <sstream>

#include "e2e_art.h"
#include "e2e_driver.h"
#include "scene_trail.h"

using namespace e2e;
using namespace trail_scene;

namespace {

const uint16_t kCursor = To565(kCursorWhite);
const int kCaptured[] = {6, 7, 8, 20, 21, 35};

std::string TrailScript() {
    std::ostringstream script;
    for (int frame = 2; frame <= 40; frame++)
        script << frame << " move " << 100 + 9 * frame << ' ' << 300 + 3 * frame << '\n';
    for (int frame : kCaptured)
        script << frame << " capture frame" << frame << ".bmp\n";
    return script.str();
}

class TrailSceneTest : public SceneTest, public ::testing::WithParamInterface<const char*> {};

// Every pixel is the background, the sprite or the cursor; the sprite is one 16x16 block and the
// cursor shows once.
void ExpectOnlyTheSpriteAndTheCursor(const Picture& picture, int frame) {
    ASSERT_TRUE(picture.ok()) << "frame " << frame;
    int spriteLeft = 800, spriteRight = -1, spriteTop = 600, spriteBottom = -1, stray = 0;
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++) {
            uint16_t pixel = picture.At(x, y);
            if (pixel == To565(kSprite)) {
                spriteLeft = std::min(spriteLeft, x);
                spriteRight = std::max(spriteRight, x);
                spriteTop = std::min(spriteTop, y);
                spriteBottom = std::max(spriteBottom, y);
            } else if (pixel != kCursor && pixel != To565(BackgroundAt(x, y))) {
                stray++;
            }
        }
    EXPECT_EQ(0, stray) << "frame " << frame << ": pixels that are neither background, sprite nor cursor";
    EXPECT_EQ(kSpriteSize * kSpriteSize, picture.Count(To565(kSprite))) << "frame " << frame;
    EXPECT_EQ(kSpriteSize - 1, spriteRight - spriteLeft) << "frame " << frame;
    EXPECT_EQ(kSpriteSize - 1, spriteBottom - spriteTop) << "frame " << frame;
    EXPECT_EQ(kSpriteY, spriteTop) << "frame " << frame;
    EXPECT_EQ(kCursorOpaquePixels, picture.Count(kCursor)) << "frame " << frame;
}

} // namespace

TEST_P(TrailSceneTest, NoFrameShowsATrail) {
    ASSERT_EQ(0, RunScene("trail", GetParam(), TrailScript(), 45)) << ProgramOutput();
    for (int frame : kCaptured)
        ExpectOnlyTheSpriteAndTheCursor(Capture("frame" + std::to_string(frame) + ".bmp"), frame);
}

TEST_P(TrailSceneTest, TheSpriteMovesBetweenFrames) {
    ASSERT_EQ(0, RunScene("trail", GetParam(), TrailScript(), 45)) << ProgramOutput();
    Picture first = Capture("frame20.bmp");
    Picture next = Capture("frame21.bmp");
    ASSERT_TRUE(first.ok());
    ASSERT_TRUE(next.ok());
    int firstX = -1, nextX = -1;
    for (int x = 0; x < 800 && (firstX < 0 || nextX < 0); x++) {
        if (firstX < 0 && first.At(x, kSpriteY) == To565(kSprite)) firstX = x;
        if (nextX < 0 && next.At(x, kSpriteY) == To565(kSprite)) nextX = x;
    }
    EXPECT_EQ(8, nextX - firstX);
    // Where the sprite was one frame earlier, the background is back (apart from its new place).
    EXPECT_EQ(To565(BackgroundAt(firstX, kSpriteY)), next.At(firstX, kSpriteY));
    EXPECT_EQ(To565(BackgroundAt(firstX + 7, kSpriteY + 15)), next.At(firstX + 7, kSpriteY + 15));
}

INSTANTIATE_TEST_SUITE_P(Modes, TrailSceneTest, ::testing::Values("full", "window"));
