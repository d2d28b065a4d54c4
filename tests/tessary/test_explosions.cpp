// The explosion pool: loading, handing out free explosions, each frame shown a little over 50 ms, then
// free again; drawing only while active.
#include <fstream>
#include <sstream>

#include "game_test_support.h"

using namespace gametest;

namespace {

class ExplosionTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        WriteGameFolder();
    }
};

} // namespace

TEST_F(ExplosionTest, PoolOfTenSharesTwoFrames) {
    CreateExplosionPool();
    ExplosionPool* pool = g_explosionPool;
    ASSERT_NE(pool, nullptr);
    ASSERT_EQ(pool->explosions.count, kExplosionPoolSize);
    IDirectDrawSurface* first = pool->explosions.items[0]->frames->items[0];
    for (int i = 0; i < pool->explosions.count; ++i) {
        Explosion* explosion = pool->explosions.items[i];
        EXPECT_EQ(explosion->active, 0);
        EXPECT_EQ(explosion->delay, 50);
        ASSERT_EQ(explosion->frames->count, 2);
        EXPECT_EQ(explosion->frames->items[0], first);
        EXPECT_EQ(explosion->frameWidth, 32);
    }
    EXPECT_EQ(GetPixel(first, 1, 1), RGBToPixel(first, 255, 128, 0));
    CreateExplosionPool(); // a second call does nothing
    EXPECT_EQ(g_explosionPool, pool);
    DestroyExplosionPool();
    EXPECT_EQ(g_explosionPool, nullptr);
}

TEST_F(ExplosionTest, MissingFramesAreReportedOnceEach) {
    std::remove("exp01.bmp");
    std::remove("exp02.bmp");
    setenv("HOST_RECORD", (Folder() / "record.txt").c_str(), 1);
    CreateExplosionPool();
    unsetenv("HOST_RECORD");
    EXPECT_EQ(ReadText(Folder() / "record.txt"), "message ERROR: can't find file!: exp01.bmp\n"
                                                 "message ERROR: can't find file!: exp02.bmp\n");
    // Without frames an explosion still ends.
    Explosion* explosion = g_explosionPool->GetFree();
    explosion->Start(100, 100);
    Advance(60);
    explosion->Move();
    EXPECT_EQ(explosion->active, 0);
}

TEST_F(ExplosionTest, GetFreeHandsOutInPoolOrder) {
    CreateExplosionPool();
    ExplosionPool* pool = g_explosionPool;
    Explosion* a = pool->GetFree();
    EXPECT_EQ(a, pool->explosions.items[0]);
    a->Start(10, 10);
    EXPECT_EQ(pool->GetFree(), pool->explosions.items[1]);
    for (int i = 1; i < 10; ++i)
        pool->GetFree()->Start(10, 10);
    EXPECT_EQ(pool->GetFree(), nullptr);
}

TEST_F(ExplosionTest, EachFrameShowsForJustOverFiftyMilliseconds) {
    CreateExplosionPool();
    Explosion* explosion = g_explosionPool->GetFree();
    explosion->current = 1;
    explosion->Start(300.0f, 200.0f);
    EXPECT_EQ(explosion->current, 0); // rewound
    EXPECT_EQ(explosion->centered, 1);
    EXPECT_EQ(explosion->time, GetClockMs());
    Advance(50);
    g_explosionPool->UpdateAll();
    EXPECT_EQ(explosion->current, 0); // 50 ms is not more than the delay
    Advance(10);
    g_explosionPool->UpdateAll();
    EXPECT_EQ(explosion->current, 1);
    Advance(50);
    g_explosionPool->UpdateAll();
    EXPECT_EQ(explosion->active, 1);
    Advance(10);
    g_explosionPool->UpdateAll();
    EXPECT_EQ(explosion->active, 0);
    EXPECT_EQ(g_explosionPool->GetFree(), explosion);
}

TEST_F(ExplosionTest, DrawsOnlyWhileActive) {
    CreateExplosionPool();
    IDirectDrawSurface* screen = Background();
    const int untouched = GetPixel(screen, 300, 200);
    g_explosionPool->DrawAll(screen);
    EXPECT_EQ(GetPixel(screen, 300, 200), untouched);
    Explosion* explosion = g_explosionPool->GetFree();
    explosion->Start(300.0f, 200.0f);
    g_explosionPool->DrawAll(screen);
    EXPECT_EQ(GetPixel(screen, 300, 200), RGBToPixel(screen, 255, 128, 0));
    EXPECT_EQ(GetPixel(screen, 284, 184),
              RGBToPixel(screen, 255, 128, 0)); // centred: 32 x 32 from (284, 184)
    EXPECT_EQ(GetPixel(screen, 283, 184), untouched);
}
