// The "animation" scene end to end, full screen and in a window: every frame is captured, and what each
// animation shows over the frames follows its end mode (loop, stop on the last frame, back to the first,
// stop and hide), with no trail of earlier frames left on screen.
#include <sstream>
#include <vector>

#include "e2e_art.h"
#include "e2e_driver.h"
#include "scene_animation.h"

using namespace e2e;
using namespace animation_scene;

namespace {

// The first frames are still black: the background is restored onto each buffer after its first flip.
constexpr int kFirstCapture = 4;
constexpr int kLastCapture = 48;
constexpr int kHidden = -1;

class AnimationSceneTest : public SceneTest, public ::testing::WithParamInterface<const char*> {
  protected:
    // The frame of the strip that a captured picture shows for the animation of end mode m: -1 when
    // only the background is there, -2 for anything else.
    static int ShownFrame(const Picture& picture, int mode) {
        uint16_t pixel = picture.At(AnimationX(mode) + kCell / 2, kRowY + kCell / 2);
        for (int i = 0; i < kFrames; ++i)
            if (pixel == To565(FrameColour(i))) return i;
        return pixel == To565(kBackground) ? kHidden : -2;
    }

    // The frames each animation showed, over all captures, with repeats folded together.
    std::vector<std::vector<int>> Sequences() {
        std::vector<std::vector<int>> shown(4);
        for (int frame = kFirstCapture; frame <= kLastCapture; ++frame) {
            Picture picture = Capture("f" + std::to_string(frame) + ".bmp");
            EXPECT_TRUE(picture.ok()) << frame;
            if (!picture.ok()) continue;
            ExpectNoTrail(picture, frame);
            for (int mode = 0; mode < 4; ++mode) {
                int now = ShownFrame(picture, mode);
                if (shown[size_t(mode)].empty() || shown[size_t(mode)].back() != now)
                    shown[size_t(mode)].push_back(now);
            }
        }
        return shown;
    }

    // Only the four cells and the background: nothing drawn earlier stayed behind.
    static void ExpectNoTrail(const Picture& picture, int frame) {
        int animated = 0;
        for (int i = 0; i < kFrames; ++i)
            animated += picture.Count(To565(FrameColour(i)));
        EXPECT_EQ(picture.width * picture.height - animated, picture.Count(To565(kBackground))) << frame;
        EXPECT_LE(animated, 4 * kCell * kCell) << frame;
        EXPECT_EQ(0, animated % (kCell * kCell)) << frame;
    }
};

TEST_P(AnimationSceneTest, EachEndModePlaysAsItShould) {
    std::ostringstream script;
    for (int frame = kFirstCapture; frame <= kLastCapture; ++frame)
        script << frame << " capture f" << frame << ".bmp\n";
    ASSERT_EQ(0, RunScene("animation", GetParam(), script.str(), kLastCapture + 2)) << ProgramOutput();
    std::vector<std::vector<int>> shown = Sequences();
    ASSERT_EQ(shown.size(), 4u);
    // Loop: round and round (45 frames of 1/60 s hold over three rounds of 4 x 50 ms).
    ASSERT_GE(shown[1].size(), 9u);
    for (size_t i = 0; i < shown[1].size(); ++i)
        EXPECT_EQ(shown[1][i], int(i % 4)) << "loop, step " << i;
    EXPECT_EQ(shown[0], (std::vector<int>{0, 1, 2, 3})) << "stop on the last frame";
    EXPECT_EQ(shown[2], (std::vector<int>{0, 1, 2, 3, 0})) << "back to the first frame";
    EXPECT_EQ(shown[3], (std::vector<int>{0, 1, 2, 3, kHidden})) << "stop and hide";
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Modes, AnimationSceneTest, ::testing::Values("full", "window"));
