// Animation: the four end modes frame by frame against the clock, ranges and backwards runs, Step,
// where frames are drawn and what is reported to the screen updater, and cutting strips and sheets
// (with cell sizes that would be empty).
#include <cstring>
#include <string>
#include <vector>

#include "animation_test_support.h"

namespace {

using animtest::AnimationTest;
using fwtest::PixelOf;

class AnimationPlayTest : public AnimationTest {
  protected:
    // A playing animation of n frames, delay 100, starting now at frame 0.
    void Prepare(Animation& animation, int n, int endMode, int step = 1) {
        AddFrames(animation, n);
        animation.SetDelay(100);
        animation.SetEndMode(endMode);
        animation.step = step;
        animation.SetPlaying(1);
        animation.time = GetClockMs();
    }
    // The current frame after each of count periods of just over the delay.
    static std::vector<int> Play(Animation& animation, int count) {
        std::vector<int> seen;
        for (int i = 0; i < count; ++i) {
            Advance(110);
            animation.Update();
            seen.push_back(animation.current);
        }
        return seen;
    }
};

TEST_F(AnimationPlayTest, LoopShowsEachFrameForJustOverTheDelay) {
    Animation animation;
    Prepare(animation, 4, kEndLoop);
    Advance(100);
    animation.Update();
    EXPECT_EQ(animation.current, 0) << "exactly the delay is not enough";
    Advance(10);
    animation.Update();
    EXPECT_EQ(animation.current, 1);
    Advance(100);
    animation.Update();
    EXPECT_EQ(animation.current, 1);
    EXPECT_EQ(Play(animation, 4), (std::vector<int>{2, 3, 0, 1}));
    EXPECT_EQ(animation.playing, 1);
    animation.SetPosition(50, 60);
    animation.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 55, 65), FrameColour(1));
}

TEST_F(AnimationPlayTest, StopOnLastKeepsTheLastFrame) {
    Animation animation;
    Prepare(animation, 3, kEndStopOnLast);
    EXPECT_EQ(Play(animation, 4), (std::vector<int>{1, 2, 2, 2}));
    EXPECT_EQ(animation.playing, 0);
}

TEST_F(AnimationPlayTest, BackToFirstStopsOnTheFirstFrame) {
    Animation animation;
    Prepare(animation, 3, kEndBackToFirst);
    EXPECT_EQ(Play(animation, 4), (std::vector<int>{1, 2, 0, 0}));
    EXPECT_EQ(animation.playing, 0);
}

TEST_F(AnimationPlayTest, StopAndHideEndsOnMinusOneAndDrawsNothing) {
    Animation animation;
    Prepare(animation, 12, kEndStopAndHide);
    animation.SetFrameRange(6, 12);
    animation.current = 6;
    EXPECT_EQ(Play(animation, 7), (std::vector<int>{7, 8, 9, 10, 11, -1, -1}));
    EXPECT_EQ(animation.playing, 0);
    animation.SetPosition(20, 20);
    animation.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 25, 25), kBackground);
    EXPECT_EQ(Registered(20, 20, 10, 10), 0) << "nothing drawn, nothing to restore";
}

TEST_F(AnimationPlayTest, LoopStaysWithinTheRange) {
    Animation animation;
    Prepare(animation, 12, kEndLoop);
    animation.SetFrameRange(6, 12);
    animation.current = 10;
    EXPECT_EQ(Play(animation, 3), (std::vector<int>{11, 6, 7}));
}

TEST_F(AnimationPlayTest, BackwardsLoopWrapsToTheLastFrame) {
    Animation animation;
    Prepare(animation, 4, kEndLoop, -1);
    EXPECT_EQ(Play(animation, 3), (std::vector<int>{3, 2, 1}));
}

TEST_F(AnimationPlayTest, BackwardsStopOnLastStopsOnTheFirstFrame) {
    Animation animation;
    Prepare(animation, 4, kEndStopOnLast, -1);
    animation.current = 2;
    EXPECT_EQ(Play(animation, 4), (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(animation.playing, 0);
}

TEST_F(AnimationPlayTest, NoAdvanceWithoutARangeWhileNotUpdatingOrNotPlaying) {
    Animation animation;
    Prepare(animation, 4, kEndLoop);
    animation.SetFrameRange(-1, -1);
    EXPECT_EQ(Play(animation, 2), (std::vector<int>{0, 0}));
    animation.SetFrameRange(0, 4);
    animation.updating = 0;
    EXPECT_EQ(Play(animation, 2), (std::vector<int>{0, 0}));
    animation.updating = 1;
    animation.SetPlaying(0);
    EXPECT_EQ(Play(animation, 2), (std::vector<int>{0, 0}));
}

TEST_F(AnimationPlayTest, StepAdvancesWhenDueAndWrapsOnlyWithLoop) {
    Animation animation;
    AddFrames(animation, 3);
    animation.SetDelay(50);
    animation.time = GetClockMs();
    EXPECT_EQ(animation.Step(), 0) << "the clock has not passed time";
    Advance(10);
    EXPECT_EQ(animation.Step(), 1);
    EXPECT_EQ(animation.current, 1);
    EXPECT_EQ(animation.time, GetClockMs() + 50);
    Advance(50);
    EXPECT_EQ(animation.Step(), 0);
    Advance(10);
    EXPECT_EQ(animation.Step(), 1);
    EXPECT_EQ(animation.current, 2);
    Advance(60);
    EXPECT_EQ(animation.Step(), 1);
    EXPECT_EQ(animation.current, 2) << "no loop: stays at the end";
    animation.loop = 1;
    Advance(60);
    EXPECT_EQ(animation.Step(), 1);
    EXPECT_EQ(animation.current, 0);
    animation.step = -1;
    Advance(60);
    EXPECT_EQ(animation.Step(), 1);
    EXPECT_EQ(animation.current, 2) << "backwards wraps to the last frame";
}

class AnimationDrawTest : public AnimationTest {};

TEST_F(AnimationDrawTest, CentredFrameIsDrawnAroundItsPositionAndReported) {
    Animation animation;
    AddFrames(animation, 1, 24, 24);
    animation.SetCentered(1);
    animation.x = 100.7f;
    animation.y = 50.2f;
    animation.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 88, 38), FrameColour(0));
    EXPECT_EQ(PixelOf(back_, 111, 61), FrameColour(0));
    EXPECT_EQ(PixelOf(back_, 87, 38), kBackground);
    EXPECT_EQ(PixelOf(back_, 88, 37), kBackground);
    EXPECT_EQ(PixelOf(back_, 112, 61), kBackground);
    EXPECT_EQ(Registered(88, 38, 24, 24), 1);
}

TEST_F(AnimationDrawTest, PartlyOutsideDrawsTheInsidePartAndWhollyOutsideOnlyReports) {
    Animation animation;
    AddFrames(animation, 1, 24, 24);
    animation.SetPosition(-10, -5);
    animation.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 0, 0), FrameColour(0));
    EXPECT_EQ(PixelOf(back_, 13, 18), FrameColour(0));
    EXPECT_EQ(PixelOf(back_, 14, 0), kBackground);
    EXPECT_EQ(PixelOf(back_, 0, 19), kBackground);
    EXPECT_EQ(Registered(-10, -5, 24, 24), 1);

    animation.SetPosition(900, 700);
    animation.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 799, 599), kBackground);
    EXPECT_EQ(Registered(900, 700, 24, 24), 1);
}

TEST_F(AnimationDrawTest, HiddenAnimationReportsWithoutDrawingAndUnregisteredDrawsWithoutReporting) {
    Animation animation;
    AddFrames(animation, 1);
    animation.SetPosition(30, 30);
    animation.SetVisible(0);
    animation.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 35, 35), kBackground);
    EXPECT_EQ(Registered(30, 30, 10, 10), 1);
    animation.SetVisible(1);
    animation.SetRegisterRect(0);
    animation.SetPosition(60, 30);
    animation.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 65, 35), FrameColour(0));
    EXPECT_EQ(Registered(60, 30, 10, 10), 0);
}

TEST_F(AnimationDrawTest, FramesAreKeyedPureBlue) {
    Animation animation;
    IDirectDrawSurface* frame = MakeSurface(10, 10, 0xF800);
    {
        fwtest::Pixels pixels(frame);
        ASSERT_TRUE(pixels.ok());
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 5; ++x)
                pixels.At(x, y) = 0x001F;
    }
    animation.AddFrame(frame);
    animation.SetPosition(100, 100);
    animation.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 102, 105), kBackground);
    EXPECT_EQ(PixelOf(back_, 107, 105), 0xF800);
}

TEST_F(AnimationDrawTest, DrawPartBlitsTheGivenRectangleAndReportsIt) {
    Animation animation;
    IDirectDrawSurface* frame = MakeSurface(20, 20, 0x0400);
    {
        fwtest::Pixels pixels(frame);
        ASSERT_TRUE(pixels.ok());
        pixels.At(12, 6) = 0xF800;
    }
    animation.AddFrame(frame);
    animation.DrawPart(10, 5, 4, 3, back_, 200, 300);
    EXPECT_EQ(PixelOf(back_, 202, 301), 0xF800);
    EXPECT_EQ(PixelOf(back_, 203, 302), 0x0400);
    EXPECT_EQ(PixelOf(back_, 204, 301), kBackground);
    EXPECT_EQ(Registered(200, 300, 4, 3), 1);
}

TEST_F(AnimationDrawTest, FrameOutOfRangeDrawsNothing) {
    Animation animation;
    animation.DrawTo(back_);
    AddFrames(animation, 2);
    animation.SetCurrentFrame(5);
    animation.SetPosition(10, 10);
    animation.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 15, 15), kBackground);
    EXPECT_EQ(Registered(10, 10, 10, 10), 0);
    animation.SetFrame(7);
    EXPECT_EQ(animation.current, 5) << "SetFrame ignores frames that do not exist";
    animation.SetFrame(1);
    EXPECT_EQ(animation.current, 1);
    animation.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 15, 15), FrameColour(1));
}

class AnimationLoadTest : public AnimationTest {
  protected:
    // A strip of n cells of cellW x cellH side by side (or stacked), cell i in colour Cell(i).
    static void WriteStrip(const std::string& file, int n, int cellW, int cellH, bool vertical) {
        fwtest::WriteBmp(file, vertical ? cellW : cellW * n, vertical ? cellH * n : cellH,
                         [=](int x, int y) { return Cell(vertical ? y / cellH : x / cellW); });
    }
    static uint32_t Cell(int i) { return 0x204060u + uint32_t(i) * 0x201000u; }
    static int LiveSurfaces() { return HostDDrawLiveObjects().surfaces; }
};

TEST_F(AnimationLoadTest, HorizontalStripKeepsTheWholeWidthUntilDivideWidth) {
    WriteStrip("strip.bmp", 4, 10, 8, false);
    Animation animation;
    EXPECT_EQ(animation.LoadStrip("strip.bmp", 4, 0), 4);
    EXPECT_EQ(animation.frameWidth, 40);
    EXPECT_EQ(animation.frameHeight, 8);
    EXPECT_EQ(animation.first, 0);
    EXPECT_EQ(animation.end, 4);
    animation.DivideWidth();
    EXPECT_EQ(animation.frameWidth, 10);
    animation.SetCurrentFrame(2);
    animation.SetPosition(0, 0);
    animation.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 9, 7), fwtest::Rgb565(Cell(2)));
    EXPECT_EQ(PixelOf(back_, 10, 0), kBackground);
}

TEST_F(AnimationLoadTest, VerticalStripAndSheetAreCutRowByRow) {
    WriteStrip("column.bmp", 3, 6, 5, true);
    Animation strip;
    EXPECT_EQ(strip.LoadStrip("column.bmp", 3, 1), 3);
    EXPECT_EQ(strip.frameWidth, 6);
    EXPECT_EQ(strip.frameHeight, 15);
    EXPECT_EQ(PixelOf(strip.frames->GetAt(1), 0, 0), fwtest::Rgb565(Cell(1)));

    // 3 x 2 cells of 10 x 10, with a remainder column and row that are dropped.
    fwtest::WriteBmp("sheet.bmp", 34, 23, [](int x, int y) { return Cell(y / 10 * 3 + x / 10); });
    Animation sheet;
    EXPECT_EQ(sheet.LoadSheet("sheet.bmp", 10, 10), 6);
    EXPECT_EQ(sheet.frameWidth, 10);
    EXPECT_EQ(sheet.end, 6);
    EXPECT_EQ(PixelOf(sheet.frames->GetAt(4), 5, 5), fwtest::Rgb565(Cell(4)));
}

TEST_F(AnimationLoadTest, EmptyCellsAreRefusedWithoutFramesOrLeftoverSurfaces) {
    WriteStrip("narrow.bmp", 1, 10, 6, false);
    int live = LiveSurfaces();
    Animation animation;
    EXPECT_EQ(animation.LoadStrip("narrow.bmp", 0, 0), 0);
    EXPECT_EQ(animation.LoadStrip("narrow.bmp", -3, 0), 0);
    EXPECT_EQ(animation.LoadStrip("narrow.bmp", 20, 0), 0) << "more cells than pixels";
    EXPECT_EQ(animation.LoadStrip("narrow.bmp", 7, 1), 0) << "more cells than rows";
    EXPECT_EQ(animation.LoadSheet("narrow.bmp", 0, 6), 0);
    EXPECT_EQ(animation.LoadSheet("narrow.bmp", 10, 0), 0);
    EXPECT_EQ(animation.LoadSheet("narrow.bmp", 11, 6), 0) << "no whole cell fits";
    EXPECT_EQ(animation.LoadStrip("missing.bmp", 2, 0), 0);
    EXPECT_EQ(animation.LoadSheet("missing.bmp", 2, 2), 0);
    EXPECT_EQ(animation.frames->GetCount(), 0);
    EXPECT_EQ(LiveSurfaces(), live) << "the loaded strip is released";
    // An animation without frames is still safe to play and draw.
    animation.SetPlaying(1);
    Advance(10);
    animation.Update();
    animation.DrawTo(back_);
    EXPECT_EQ(animation.GetFirstFrame(), nullptr);
}

TEST_F(AnimationLoadTest, FrameFromAMissingFileAddsNothing) {
    WriteStrip("one.bmp", 1, 4, 4, false);
    Animation animation;
    EXPECT_EQ(animation.AddFrameFromFile("missing.bmp"), 1);
    EXPECT_EQ(animation.frames->GetCount(), 0);
    EXPECT_EQ(animation.first, -1);
    EXPECT_EQ(animation.AddFrameFromFile("one.bmp"), 1);
    ASSERT_EQ(animation.frames->GetCount(), 1);
    EXPECT_EQ(animation.frameWidth, 4);
    EXPECT_EQ(animation.end, 1);
    DDCOLORKEY key{};
    ASSERT_EQ(animation.GetFirstFrame()->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, 0x001Fu) << "frames are keyed pure blue";
}

class AnimationLifeTest : public AnimationTest {};

TEST_F(AnimationLifeTest, CopySharesTheFramesAndLeavesThemToTheSource) {
    int live = HostDDrawLiveObjects().surfaces;
    Animation source;
    AddFrames(source, 3);
    source.SetName("spark");
    source.SetPosition(40, 50);
    source.SetDelay(70);
    source.SetFrameRange(1, 3);
    source.SetEndMode(kEndStopAndHide);
    source.SetCentered(1);
    Animation* copy = new Animation(source);
    EXPECT_EQ(copy->shared, 1);
    ASSERT_EQ(copy->frames->GetCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(copy->frames->GetAt(i), source.frames->GetAt(i));
    EXPECT_STREQ(copy->name, "spark");
    EXPECT_EQ(copy->x, 40.0f);
    EXPECT_EQ(copy->delay, 70);
    EXPECT_EQ(copy->first, 1);
    EXPECT_EQ(copy->end, 3);
    EXPECT_EQ(copy->endMode, kEndStopAndHide);
    EXPECT_EQ(copy->centered, 1);
    delete copy;
    EXPECT_EQ(HostDDrawLiveObjects().surfaces, live + 3) << "the source's frames survive the copy";
    source.SetCentered(0);
    source.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 45, 55), FrameColour(0));
}

TEST_F(AnimationLifeTest, DerivedAnimationIsDestroyedWholeThroughTheBase) {
    struct Ball : Animation {
        bool* destroyed;
        explicit Ball(bool* flag) : destroyed(flag) {}
        ~Ball() override { *destroyed = true; }
    };
    bool destroyed = false;
    Animation* ball = new Ball(&destroyed);
    AddFrames(*ball, 1);
    delete ball;
    EXPECT_TRUE(destroyed);
}

TEST_F(AnimationLifeTest, NameIsBoundedAndSetColorKeyReachesEveryFrame) {
    Animation animation;
    std::string longName(200, 'n');
    animation.SetName(longName.c_str());
    EXPECT_EQ(std::strlen(animation.name), size_t(kAnimationNameSize - 1));
    animation.SetName(nullptr);
    EXPECT_STREQ(animation.name, "");

    AddFrames(animation, 2);
    animation.SetColorKey(255, 0, 0);
    for (int i = 0; i < 2; ++i) {
        DDCOLORKEY key{};
        ASSERT_EQ(animation.frames->GetAt(i)->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
        EXPECT_EQ(key.dwColorSpaceLowValue, 0xF800u);
    }
}

} // namespace
