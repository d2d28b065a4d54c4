// The animation manager: copies started from a template share its frames, are advanced and drawn each
// frame, and are deleted once played out (every one of them, side by side in the list too).
#include "animation_test_support.h"

namespace {

using animtest::AnimationTest;
using fwtest::PixelOf;

class AnimationManagerTest : public AnimationTest {
  protected:
    // A playing template of n frames, delay 0, with the given end mode and name.
    void Prepare(Animation& animation, int n, int endMode, const char* name) {
        AddFrames(animation, n);
        animation.SetEndMode(endMode);
        animation.SetPlaying(1);
        animation.SetName(name);
    }
    static int Copies() { return g_animations.list ? g_animations.list->GetCount() : 0; }
    // One frame of the manager's work after the clock moved on.
    void Pass() {
        Advance(10);
        g_animations.UpdateAndDraw(back_);
    }
};

TEST_F(AnimationManagerTest, StartCopiesFromTheFirstFrameAtTheClockSharingTheSurfaces) {
    Animation spark;
    Prepare(spark, 4, kEndLoop, "spark");
    spark.SetFrameRange(2, 4);
    spark.current = 3;
    Advance(30);
    Animation* copy = g_animations.Start(spark);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, &spark);
    EXPECT_EQ(spark.current, 2);
    EXPECT_EQ(copy->current, 2);
    EXPECT_EQ(copy->time, GetClockMs());
    EXPECT_EQ(copy->shared, 1);
    EXPECT_EQ(copy->frames->GetAt(3), spark.frames->GetAt(3));
    EXPECT_EQ(g_animations.Find("spark"), copy);
    EXPECT_EQ(g_animations.Find("sparks"), nullptr);
}

TEST_F(AnimationManagerTest, TemplateWithoutARangeStartsAtFrameZero) {
    Animation blink;
    Prepare(blink, 3, kEndLoop, "blink");
    blink.SetFrameRange(-1, -1);
    blink.current = 2;
    Animation* copy = g_animations.Start(blink);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->current, 0);
    EXPECT_EQ(blink.current, 0);
}

TEST_F(AnimationManagerTest, StopAndHideCopyIsDrawnThenDroppedInTheSamePassItEnds) {
    Animation goal;
    Prepare(goal, 2, kEndStopAndHide, "goal");
    Animation* copy = g_animations.Start(goal);
    ASSERT_NE(copy, nullptr);
    copy->SetPosition(300, 200);
    Pass();
    EXPECT_EQ(Copies(), 1);
    EXPECT_EQ(PixelOf(back_, 305, 205), FrameColour(1));
    fwtest::FillWith(back_, kBackground);
    Pass();
    EXPECT_EQ(Copies(), 0) << "played out: removed (and deleted) at once";
    EXPECT_EQ(PixelOf(back_, 305, 205), kBackground);
    EXPECT_EQ(g_animations.Find("goal"), nullptr);
    // The template's surfaces are untouched by its copies' deletion.
    goal.SetCurrentFrame(0);
    goal.SetPosition(0, 0);
    goal.DrawTo(back_);
    EXPECT_EQ(PixelOf(back_, 5, 5), FrameColour(0));
}

TEST_F(AnimationManagerTest, EveryPlayedOutCopyGoesEvenNextToAnother) {
    Animation fall, loop;
    Prepare(fall, 1, kEndStopAndHide, "fall");
    Prepare(loop, 2, kEndLoop, "loop");
    g_animations.Start(fall);
    g_animations.Start(fall);
    g_animations.Start(loop);
    g_animations.Start(fall);
    g_animations.Start(fall);
    ASSERT_EQ(Copies(), 5);
    Pass();
    ASSERT_EQ(Copies(), 1);
    EXPECT_STREQ(g_animations.list->GetAt(0)->name, "loop");
    Pass();
    EXPECT_EQ(Copies(), 1) << "a looping copy stays";
}

TEST_F(AnimationManagerTest, FinishedCopiesOfOtherModesStay) {
    Animation last, back;
    Prepare(last, 2, kEndStopOnLast, "last");
    Prepare(back, 2, kEndBackToFirst, "back");
    g_animations.Start(last);
    g_animations.Start(back);
    for (int i = 0; i < 4; ++i)
        Pass();
    EXPECT_EQ(Copies(), 2);
    EXPECT_EQ(g_animations.Find("last")->current, 1);
    EXPECT_EQ(g_animations.Find("back")->current, 0);
}

TEST_F(AnimationManagerTest, RemoveAndDeleteAllAndStartingAgain) {
    Animation a, b;
    Prepare(a, 1, kEndLoop, "a");
    Prepare(b, 1, kEndLoop, "b");
    g_animations.Start(a);
    g_animations.Start(b);
    g_animations.Start(a);
    g_animations.Remove("a");
    EXPECT_EQ(Copies(), 2);
    EXPECT_STREQ(g_animations.list->GetAt(0)->name, "b");
    g_animations.Remove("nothing");
    g_animations.Remove(nullptr);
    EXPECT_EQ(Copies(), 2);
    g_animations.DeleteAll();
    EXPECT_EQ(g_animations.list, nullptr);
    g_animations.UpdateAndDraw(back_);
    g_animations.DrawFlagged();
    EXPECT_EQ(g_animations.Find("a"), nullptr);
    EXPECT_NE(g_animations.Start(a), nullptr) << "a new list is made";
    EXPECT_EQ(Copies(), 1);
}

TEST_F(AnimationManagerTest, DrawFlaggedDrawsOntoTheBackgroundWhenAStepIsDue) {
    IDirectDrawSurface* background = MakeSurface(800, 600, kBackground);
    g_screenUpdater.SetBackground(background);
    Animation tile;
    Prepare(tile, 3, kEndLoop, "tile");
    tile.SetDelay(40);
    Animation* copy = g_animations.Start(tile);
    ASSERT_NE(copy, nullptr);
    copy->SetPosition(100, 100);
    g_animations.DrawFlagged();
    EXPECT_EQ(PixelOf(background, 105, 105), kBackground) << "not due yet";
    Advance(10);
    g_animations.DrawFlagged();
    EXPECT_EQ(PixelOf(background, 105, 105), FrameColour(1));
    Advance(30);
    g_animations.DrawFlagged();
    EXPECT_EQ(PixelOf(background, 105, 105), FrameColour(1)) << "the delay has not passed";
    Advance(20);
    g_animations.DrawFlagged();
    EXPECT_EQ(PixelOf(background, 105, 105), FrameColour(2));
    g_animations.DeleteAll();
    g_screenUpdater.SetBackground(nullptr);
    background->Release();
}

} // namespace
