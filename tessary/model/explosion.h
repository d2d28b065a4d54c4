// Explosions: a fixed pool of explosion sprites, reused for every ball that explodes (two balls
// colliding, a ball on a mine). An explosion shows each of its frames for a little over 50 ms, centred
// on the ball, then becomes free again.
#pragma once

#include "framework/animation.h"
#include "quib/ptrarray.h"

constexpr int kExplosionPoolSize = 10;
constexpr int kExplosionFrameMs = 50;

class Explosion : public Animation {
  public:
    int active = 0;

    // Rewinds, centres the drawing on screen point (centreX, centreY), activates and takes the clock
    // as the frame time.
    void Start(float centreX, float centreY);
    // The Animation's drawing while active, else nothing.
    void DrawTo(IDirectDrawSurface* target) override;
    // While active: when more than the frame delay passed since the frame time, the next frame; past
    // the last frame the explosion is inactive.
    void Move() override;
};

class ExplosionPool {
  public:
    PtrArray<Explosion> explosions; // owned

    // count inactive explosions without frames.
    explicit ExplosionPool(int count);
    virtual ~ExplosionPool();
    ExplosionPool(const ExplosionPool&) = delete;
    ExplosionPool& operator=(const ExplosionPool&) = delete;

    // Gives every explosion the frames "exp01.bmp" then "exp02.bmp" (loaded once, by the first
    // explosion, and shared by the others, so a missing file is reported once), 50 ms a frame, key
    // blue, inactive.
    virtual void Load();
    // The first inactive explosion, or NULL.
    virtual Explosion* GetFree();
    // DrawTo on each explosion.
    virtual void DrawAll(IDirectDrawSurface* target);
    // Move on each explosion.
    virtual void UpdateAll();
};

// The program's pool; NULL until CreateExplosionPool.
extern ExplosionPool* g_explosionPool;

// Creates and loads the pool of 10 when there is none.
void CreateExplosionPool();
// Deletes the pool and its explosions.
void DestroyExplosionPool();
