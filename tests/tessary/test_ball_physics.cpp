// The arithmetic of ball movement without sprites: headings, side bits, the wall probe on a mask in
// memory, the wall sound's gate and volume, the frame rate guard and the physics settings.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "game_test_support.h"
#include "tessary/model/ball_physics.h"
#include "tessary/model/frame_rate.h"
#include "tessary/model/physics_settings.h"

namespace {

// A w x h mask in memory (pitch w + 3 pixels, as a surface's rows are wider), all transparent.
struct MemoryMask {
    int w, h, pitch;
    std::vector<uint16_t> pixels;
    MemoryMask(int width, int height) : w(width), h(height), pitch(width + 3) {
        pixels.assign(size_t(pitch) * size_t(h) + 8, 0x001F);
    }
    void Solid(int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                pixels[size_t(y) * size_t(pitch) + size_t(x)] = 0x1234;
    }
    CollisionView View() const {
        CollisionView view;
        view.pixels = pixels.data();
        view.pitch = pitch;
        view.width = w;
        view.height = h;
        view.transparent = 0x001F;
        return view;
    }
};

} // namespace

TEST(BallPhysicsTest, NormalisesByOneStep) {
    EXPECT_FLOAT_EQ(NormaliseHeading(-1.0f), 6.28318f - 1.0f);
    EXPECT_FLOAT_EQ(NormaliseHeading(7.0f), 7.0f - 6.28318f);
    EXPECT_FLOAT_EQ(NormaliseHeading(3.0f), 3.0f);
    EXPECT_FLOAT_EQ(NormaliseHeading(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(NormaliseHeading(6.28318f), 6.28318f);
    // One step only, as the physics does it.
    EXPECT_FLOAT_EQ(NormaliseHeading(-7.0f), -7.0f + 6.28318f);
}

TEST(BallPhysicsTest, SideBitsAtTheDiagonalsAndInEachQuarter) {
    EXPECT_EQ(SideBits(0.7853975f), 3);
    EXPECT_EQ(SideBits(2.3561926f), 6);
    EXPECT_EQ(SideBits(3.9269876f), 12);
    EXPECT_EQ(SideBits(5.4977827f), 9);
    EXPECT_EQ(SideBits(0.0f), kSidePlusX);
    EXPECT_EQ(SideBits(0.5f), kSidePlusX);
    EXPECT_EQ(SideBits(6.0f), kSidePlusX);
    EXPECT_EQ(SideBits(6.28318f), kSidePlusX);
    EXPECT_EQ(SideBits(1.57f), kSidePlusY);
    EXPECT_EQ(SideBits(3.14f), kSideMinusX);
    EXPECT_EQ(SideBits(4.71f), kSideMinusY);
    EXPECT_EQ(SideBits(-0.1f), 0);
    EXPECT_EQ(SideBits(6.3f), 0);
}

TEST(BallPhysicsTest, ProbeSeesAWallAheadOnly) {
    MemoryMask mask(100, 100);
    mask.Solid(60, 0, 100, 100); // a wall from x = 60 on
    // Centre at 50, radius 10: the probe reaches x = 60 straight ahead.
    EXPECT_EQ(ProbeWallMask(mask.View(), 50.5f, 50.0f, 0.0f, 20), kSidePlusX);
    // Moving away (heading pi): the probe covers only the half circle ahead, which is clear.
    EXPECT_EQ(ProbeWallMask(mask.View(), 50.5f, 50.0f, 3.14159f, 20), 0);
    // Further from the wall than the radius: nothing.
    EXPECT_EQ(ProbeWallMask(mask.View(), 45.0f, 50.0f, 0.0f, 20), 0);
}

TEST(BallPhysicsTest, ProbeInACornerSeesBothWalls) {
    MemoryMask mask(100, 100);
    mask.Solid(60, 0, 100, 100);
    mask.Solid(0, 60, 100, 100);
    int bits = ProbeWallMask(mask.View(), 55.0f, 55.0f, 0.7853975f, 20);
    EXPECT_EQ(bits & (kSidePlusX | kSidePlusY), kSidePlusX | kSidePlusY);
    // The fan's first probe, 90 degrees left of the heading (up and right), lands in the wall on the
    // right and is counted by its own angle: toward -y. Nothing lies toward -x.
    EXPECT_EQ(bits & kSideMinusY, kSideMinusY);
    EXPECT_EQ(bits & kSideMinusX, 0);
}

TEST(BallPhysicsTest, DiameterZeroProbesTheCentreOnly) {
    MemoryMask mask(50, 50);
    mask.Solid(21, 20, 22, 21); // one pixel right of the centre
    EXPECT_EQ(ProbeWallMask(mask.View(), 20.0f, 20.0f, 0.0f, 0), 0);
    mask.Solid(20, 20, 21, 21);
    // Every probe lands on the centre; the fan from -90 to +84 degrees gives -y, +x and +y.
    EXPECT_EQ(ProbeWallMask(mask.View(), 20.0f, 20.0f, 0.0f, 0), kSideMinusY | kSidePlusX | kSidePlusY);
}

// Probe points past the mask's right and bottom edges (the field's edge) are skipped, never read: the
// padding beyond each row is marked solid to catch a read.
TEST(BallPhysicsTest, ProbesOutsideTheMaskAreSkipped) {
    MemoryMask mask(40, 30);
    for (int y = 0; y < mask.h; ++y)
        for (int x = mask.w; x < mask.pitch; ++x)
            mask.pixels[size_t(y) * size_t(mask.pitch) + size_t(x)] = 0x7777;
    for (size_t i = size_t(mask.pitch) * size_t(mask.h); i < mask.pixels.size(); ++i)
        mask.pixels[i] = 0x7777;
    // A ball pressed into the bottom-right corner, moving into it.
    EXPECT_EQ(ProbeWallMask(mask.View(), 30.0f, 20.0f, 0.7853975f, 20), 0);
    EXPECT_EQ(ProbeWallMask(mask.View(), 39.9f, 29.9f, 0.0f, 20), 0);
    // Far outside, and positions that are not numbers.
    EXPECT_EQ(ProbeWallMask(mask.View(), 1e30f, -1e30f, 0.0f, 20), 0);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ProbeWallMask(mask.View(), nan, 10.0f, 0.0f, 20), 0);
    EXPECT_EQ(ProbeWallMask(mask.View(), 10.0f, 10.0f, std::numeric_limits<float>::infinity(), 20), 0);
    EXPECT_EQ(ProbeWallMask(CollisionView(), 10.0f, 10.0f, 0.0f, 20), 0);
}

TEST(BallPhysicsTest, WallSoundGateAndVolume) {
    EXPECT_FALSE(WallSoundTurn(1.0f, 1.1f));
    EXPECT_TRUE(WallSoundTurn(1.0f, 1.2f));
    EXPECT_TRUE(WallSoundTurn(0.0f, 6.0831802f));
    EXPECT_FALSE(WallSoundTurn(0.0f, 6.2f));
    EXPECT_EQ(WallSoundVolume(2.0f), 0xFFFF);
    EXPECT_EQ(WallSoundVolume(1.0f), 32768);
    EXPECT_EQ(WallSoundVolume(0.5f), 16384);
    EXPECT_EQ(WallSoundVolume(0.25f), 8192);
    EXPECT_EQ(WallSoundVolume(0.0f), 0);
    EXPECT_EQ(WallSoundVolume(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(BallPhysicsTest, FrameRateFallsBackToNominal) {
    const float saved = fps;
    fps = 0.0f;
    EXPECT_EQ(PhysicsFrameRate(), kNominalFrameRate);
    fps = -3.0f;
    EXPECT_EQ(PhysicsFrameRate(), kNominalFrameRate);
    fps = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(PhysicsFrameRate(), kNominalFrameRate);
    fps = std::numeric_limits<float>::infinity();
    EXPECT_EQ(PhysicsFrameRate(), kNominalFrameRate);
    fps = 144.0f;
    EXPECT_EQ(PhysicsFrameRate(), 144.0f);
    fps = saved;
}

class PhysicsSettingsTest : public gametest::FolderTest {};

TEST_F(PhysicsSettingsTest, DefaultsWithoutAFile) {
    g_physics.speed = 99.0f;
    g_physics.ballWidth = 7;
    LoadPhysicsSettings(".\\setup.ini");
    EXPECT_FLOAT_EQ(g_physics.speed, 3.0f);
    EXPECT_FLOAT_EQ(g_physics.friction, 0.004f);
    EXPECT_FLOAT_EQ(g_physics.magnet, 0.02f);
    EXPECT_FLOAT_EQ(g_physics.maxMagnet, 0.03f);
    EXPECT_FLOAT_EQ(g_physics.dimple, 0.015f);
    // Read with the default text of "dimple", whose integer value is 0.
    EXPECT_EQ(g_physics.collideWidth, 0);
    EXPECT_EQ(g_physics.ballWidth, 0);
}

TEST_F(PhysicsSettingsTest, ValuesFromTheSetupSection) {
    gametest::WriteText("setup.ini", "[Setup]\nSpeed= 2.5\nfriction=0.01x\nmagnet=abc\nMAX_MAGNET=1e2\n"
                                     "dimple=nan\ncollidew=18px\nballw=-4\n[other]\nspeed=7\n");
    LoadPhysicsSettings(".\\setup.ini");
    EXPECT_FLOAT_EQ(g_physics.speed, 2.5f);
    EXPECT_FLOAT_EQ(g_physics.friction, 0.01f);
    EXPECT_FLOAT_EQ(g_physics.magnet, 0.0f); // atof of text without a number
    EXPECT_FLOAT_EQ(g_physics.maxMagnet, 100.0f);
    EXPECT_FLOAT_EQ(g_physics.dimple, 0.015f); // not a number: the default
    EXPECT_EQ(g_physics.collideWidth, 18);
    EXPECT_EQ(g_physics.ballWidth, 0); // negative: clamped
}

TEST_F(PhysicsSettingsTest, HugeWidthsAreClamped) {
    gametest::WriteText("setup.ini", "[setup]\ncollidew=99999999999999\nballw=2147483648\nspeed=1e400\n");
    LoadPhysicsSettings(".\\setup.ini");
    EXPECT_EQ(g_physics.collideWidth, kMaxBallWidth);
    EXPECT_EQ(g_physics.ballWidth, kMaxBallWidth);
    EXPECT_FLOAT_EQ(g_physics.speed, 3.0f);
}

TEST(BallPhysicsTest, BlockedAxesTellWhichWayAMoveEntersAWall) {
    MemoryMask mask(100, 100);
    mask.Solid(60, 0, 100, 100); // a wall from x = 60 on
    mask.Solid(0, 80, 100, 100); // and from y = 80 on
    EXPECT_EQ(BlockedAxes(mask.View(), 55.0f, 50.0f, 6.0f, 1.0f), kBlockedX);
    EXPECT_EQ(BlockedAxes(mask.View(), 50.0f, 75.0f, 1.0f, 6.0f), kBlockedY);
    EXPECT_EQ(BlockedAxes(mask.View(), 59.5f, 79.5f, 1.0f, 1.0f), kBlockedX | kBlockedY);
    // A move that stays free, or that leaves a wall, is never blocked.
    EXPECT_EQ(BlockedAxes(mask.View(), 50.0f, 50.0f, 9.0f, 9.0f), 0);
    EXPECT_EQ(BlockedAxes(mask.View(), 61.0f, 50.0f, 1.0f, 0.0f), 0);
    EXPECT_EQ(BlockedAxes(mask.View(), 61.0f, 50.0f, -5.0f, 0.0f), 0);
    // A corner: only the diagonal step lands on the wall.
    MemoryMask block(100, 100);
    block.Solid(60, 60, 70, 70);
    EXPECT_EQ(BlockedAxes(block.View(), 59.0f, 59.0f, 2.0f, 2.0f), kBlockedX | kBlockedY);
    // Past the mask a point reads the edge's pixel: the line one past the last row is no way round a
    // wall that reaches the edge.
    MemoryMask column(100, 100);
    column.Solid(40, 0, 50, 100);
    EXPECT_EQ(BlockedAxes(column.View(), 39.5f, 100.0f, 1.0f, 0.0f), kBlockedX);
    EXPECT_EQ(BlockedAxes(column.View(), 30.0f, 100.0f, 1.0f, 0.0f), 0);
    EXPECT_EQ(BlockedAxes(mask.View(), 50.0f, 50.0f, 100.0f, 0.0f), kBlockedX);
    // Positions that are not numbers count as free.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(BlockedAxes(mask.View(), nan, 50.0f, 10.0f, 0.0f), 0);
    EXPECT_EQ(BlockedAxes(CollisionView(), 10.0f, 10.0f, 1.0f, 0.0f), 0);
}
