#include "tessary/model/explosion.h"

#include "framework/game_clock.h"

ExplosionPool* g_explosionPool = nullptr;

void Explosion::Start(float centreX, float centreY) {
    Rewind();
    SetCentered(1);
    x = centreX;
    y = centreY;
    active = 1;
    time = GetClockMs();
}

void Explosion::DrawTo(IDirectDrawSurface* target) {
    if (active) Animation::DrawTo(target);
}

void Explosion::Move() {
    if (!active || GetElapsedMs(time) <= delay) return;
    time = GetClockMs();
    current += 1;
    if (!frames || current >= frames->count) active = 0;
}

ExplosionPool::ExplosionPool(int count) {
    for (int i = 0; i < count; ++i) {
        Explosion* explosion = new Explosion;
        if (!explosions.Add(explosion)) delete explosion;
    }
}

ExplosionPool::~ExplosionPool() {
    explosions.DeleteAll();
}

void ExplosionPool::Load() {
    Explosion* owner = explosions.count > 0 ? explosions.items[0] : nullptr;
    if (owner) {
        owner->AddFrameFromFile("exp01.bmp");
        owner->AddFrameFromFile("exp02.bmp");
    }
    for (int i = 0; i < explosions.count; ++i) {
        Explosion* explosion = explosions.items[i];
        if (explosion != owner && owner->frames) {
            for (int frame = 0; frame < owner->frames->count; ++frame)
                explosion->AddSharedFrame(owner->frames->items[frame]);
        }
        explosion->active = 0;
        explosion->SetDelay(kExplosionFrameMs);
        explosion->SetColorKey(0, 0, 255);
    }
}

Explosion* ExplosionPool::GetFree() {
    for (int i = 0; i < explosions.count; ++i) {
        if (!explosions.items[i]->active) return explosions.items[i];
    }
    return nullptr;
}

void ExplosionPool::DrawAll(IDirectDrawSurface* target) {
    for (int i = 0; i < explosions.count; ++i)
        explosions.items[i]->DrawTo(target);
}

void ExplosionPool::UpdateAll() {
    for (int i = 0; i < explosions.count; ++i)
        explosions.items[i]->Move();
}

void CreateExplosionPool() {
    if (g_explosionPool) return;
    g_explosionPool = new ExplosionPool(kExplosionPoolSize);
    g_explosionPool->Load();
}

void DestroyExplosionPool() {
    delete g_explosionPool;
    g_explosionPool = nullptr;
}
