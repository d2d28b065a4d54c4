#include "tessary/model/ball.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "framework/animation_manager.h"
#include "framework/game_clock.h"
#include "framework/screen_updater.h"
#include "framework/surface_helpers.h"
#include "tessary/model/ball_physics.h"
#include "tessary/model/explosion.h"
#include "tessary/model/frame_rate.h"
#include "tessary/model/game_sounds.h"
#include "tessary/model/ini_values.h"
#include "tessary/model/physics_settings.h"
#include "tessary/model/tile_grid.h"

BallEffects g_ballEffects;

namespace {

// Reflection sides: 0 and 1 are walls across x (heading mirrored to pi - heading), 2 and 3 walls across
// y (heading negated). The names say which field edge uses each.
constexpr int kSideRight = 0;
constexpr int kSideLeft = 1;
constexpr int kSideBottom = 2;
constexpr int kSideTop = 3;

constexpr int kWallSoundGapMs = 100;

// The collision mask's transparent value (blue in its format), found on the first probe and kept.
int transparentPixel = -1;

// A position truncated to whole pixels (positions are kept finite by Move).
int Pixel(float value) {
    return TruncateClamped(value, -(1 << 30), 1 << 30);
}

// Starts a copy of effect at screen point (x, y) over frames first .. first + count - 1.
void StartEffect(Animation* effect, float x, float y, int first, int count) {
    if (!effect) return;
    effect->x = x;
    effect->y = y;
    effect->SetFrameRange(first, first + count);
    effect->SetCentered(1);
    effect->SetPlaying(1);
    effect->SetEndMode(kEndStopAndHide);
    g_animations.Start(*effect);
}

} // namespace

bool Ball::Within(float px, float py, float r, float* distance) const {
    float dx = px - x;
    float dy = py - y;
    float d = std::sqrt(dx * dx + dy * dy);
    if (distance) *distance = d;
    return d < r;
}

float Ball::MaxSpeed() const {
    return float(std::max({fieldWidth, fieldHeight, 1}));
}

float Ball::StepLength() const {
    const int radius = diameter / 2;
    return radius > 2 ? float(radius - 1) : 1.0f;
}

void Ball::WallSound(float oldHeading, float newHeading) {
    if (!WallSoundTurn(oldHeading, newHeading)) return;
    const int now = GetClockMs();
    if (speed > 0.2f && now > nextWallSound) {
        PlayGameSound("wall", WallSoundVolume(speed));
        nextWallSound = now + kWallSoundGapMs;
    }
}

void Ball::Reflect(int side) {
    const float oldHeading = heading;
    if (side == kSideBottom || side == kSideTop) {
        heading = -heading;
    } else {
        heading = kBallPi - heading;
    }
    heading = NormaliseHeading(heading);
    WallSound(oldHeading, heading);
    if (speed == 0.0f) speed = 0.001f;
    heading = NormaliseHeading(heading);
}

void Ball::ReflectAtEdges() {
    const int r = diameter / 2;
    if (x < float(r)) {
        Reflect(kSideLeft);
        x = float(r);
    }
    if (y < float(r)) {
        Reflect(kSideTop);
        y = float(r);
    }
    if (x > float(fieldWidth - r)) {
        Reflect(kSideRight);
        x = float(fieldWidth - r);
    }
    if (y > float(fieldHeight - r)) {
        Reflect(kSideBottom);
        y = float(fieldHeight - r);
    }
}

bool Ball::LockCollisionView(CollisionView& view) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    void* bits = LockSurface(collisionSurface, &desc);
    if (!bits) return false;
    if (transparentPixel < 0) transparentPixel = RGBToPixel(collisionSurface, 0, 0, 255);
    view.pixels = static_cast<const uint16_t*>(bits);
    view.pitch = int(desc.lPitch / 2);
    view.width = int(desc.dwWidth);
    view.height = int(desc.dwHeight);
    view.transparent = uint16_t(transparentPixel);
    return true;
}

void Ball::MovePiece(const CollisionView& view, int pieces) {
    // The probe's bits map onto the sides in this order: -x, +x, -y, +y. A pair of opposite bits
    // reflects twice and so leaves the heading as it was.
    const int mask = ProbeWallMask(view, x, y, heading, diameter);
    if (mask & kSideMinusX) Reflect(kSideRight);
    if (mask & kSidePlusX) Reflect(kSideLeft);
    if (mask & kSideMinusY) Reflect(kSideBottom);
    if (mask & kSidePlusY) Reflect(kSideTop);

    // The probe alone lets a centre slip into a wall (with a small diameter it sees nothing before the
    // centre arrives, and inside a wall a shallow heading flips the wrong way): a piece that would take
    // the centre onto a wall bounces off that wall's face instead.
    const float length = speed / float(pieces); // after the reflections, which may wake a resting ball
    const float dx = std::cos(heading) * length;
    const float dy = std::sin(heading) * length;
    const int blocked = BlockedAxes(view, x, y, dx, dy);
    if (blocked & kBlockedX) Reflect(dx > 0.0f ? kSideRight : kSideLeft);
    if (blocked & kBlockedY) Reflect(dy > 0.0f ? kSideBottom : kSideTop);
    if (blocked) return;
    x += dx;
    y += dy;
}

void Ball::Move() {
    // A position or motion that is no number (a broken frame rate elsewhere) would spread to every
    // later step; the ball stops where the field keeps it instead.
    if (!std::isfinite(x) || !std::isfinite(y)) x = y = 0.0f;
    if (!std::isfinite(heading) || !std::isfinite(speed)) heading = speed = 0.0f;

    ReflectAtEdges();
    if (!collisionSurface) return;
    CollisionView view;
    const bool locked = LockCollisionView(view);

    // A move longer than StepLength goes in equal pieces, each with the edges and the probe, so that no
    // wall is skipped at any speed; a shorter one is a single probe, reflection and move.
    if (speed > MaxSpeed()) speed = MaxSpeed();
    const int pieces = speed > StepLength() ? int(std::ceil(speed / StepLength())) : 1;
    for (int piece = 0; piece < pieces; ++piece) {
        if (piece > 0) ReflectAtEdges(); // a fast ball meets the field's edges within the frame too
        MovePiece(view, pieces);
    }
    if (locked) UnlockSurface(collisionSurface);

    // The velocity of the whole frame, then friction (the move above used the speed before it).
    vx = std::cos(heading) * speed;
    vy = std::sin(heading) * speed;
    if (speed > 0.0f) {
        speed -= deceleration / PhysicsFrameRate();
    } else {
        speed = 0.0f;
    }
}

void Ball::DrawTo(IDirectDrawSurface* target) {
    const float savedX = x, savedY = y;
    if (grid) {
        x += float(grid->originX);
        y += float(grid->originY);
    }
    Animation::DrawTo(target);
    x = savedX;
    y = savedY;
}

void Ball::AddVelocity(float dx, float dy) {
    const float nx = std::cos(heading) * speed + dx;
    const float ny = std::sin(heading) * speed + dy;
    float h = std::atan2(ny, nx);
    if (h < 0.0f && h >= -kBallPi) h += kBallTwoPi;
    heading = h;
    speed = std::sqrt(nx * nx + ny * ny);
    vx = std::cos(heading) * speed;
    vy = std::sin(heading) * speed;
}

void Ball::PullToward(int mx, int my, float force) {
    const int originX = grid ? grid->originX : 0;
    const int originY = grid ? grid->originY : 0;
    const float angle = std::atan2(float(my - Pixel(y) - originY), float(mx - Pixel(x) - originX));
    const float f = force / PhysicsFrameRate();
    AddVelocity(std::cos(angle) * f, std::sin(angle) * f);
}

void Ball::ApplyDimples(const TileGrid& field) {
    for (int i = 0; i < field.dimples.count; ++i) {
        const DimpleEntry& dimple = *field.dimples.items[i];
        float d = 0.0f;
        if (!Within(float(dimple.x), float(dimple.y), float(dimple.radius), &d)) {
            swirl = 0;
            continue;
        }
        if (d < 1.0f) continue;
        if (swirl == 0) swirl = vx > 0.0f ? 1 : 2;
        float angle = std::atan2(float(dimple.y) - y, float(dimple.x) - x);
        const float f = g_physics.dimple * g_physics.speed * dimple.force / PhysicsFrameRate();
        AddVelocity(std::cos(angle) * f / 2.0f, std::sin(angle) * f / 2.0f);
        angle += swirl == 1 ? kBallHalfPi : -kBallHalfPi;
        const float divisor = g_physics.speed * 3.0f;
        const float g = divisor != 0.0f ? f / divisor : 0.0f;
        AddVelocity(std::cos(angle) * g, std::sin(angle) * g);
    }
}

void Ball::CheckHoles(const TileGrid& field) {
    for (int i = 0; i < field.holes.count; ++i) {
        const HoleEntry& hole = *field.holes.items[i];
        if (!Within(float(hole.x), float(hole.y), float(hole.radius))) continue;
        state = kBallGone;
        StartEffect(g_ballEffects.fall, float(hole.x + field.originX), float(hole.y + field.originY),
                    colour * 6, 6);
        PlayGameSound("falling");
    }
}

void Ball::CheckMines(TileGrid& field) {
    // By index over the live list: a hit rebuilds the list, which then lacks the mine that went off.
    for (int i = 0; i < field.mines.count; ++i) {
        const MineEntry mine = *field.mines.items[i];
        if (!Within(float(mine.x), float(mine.y), float(mine.radius))) continue;
        state = kBallGone;
        Explode(g_explosionPool);
        PlayGameSound("explode");
        const int cell = field.CellAt(mine.x + field.originX, mine.y + field.originY);
        field.ClearCellAndRedraw(g_screenUpdater.GetBackground(), "mine", cell);
        const int countBefore = field.mines.count;
        field.RebuildMineList();
        if (field.mines.count < countBefore) --i; // the next mine moved into slot i
    }
}

int Ball::CheckGoal() {
    if (state != kBallActive || goalX == -1 || goalY == -1) return 0;
    if (!Within(float(goalX), float(goalY), float(frameWidth / 2))) return 0;
    state = kBallInGoal;
    const int originX = grid ? grid->originX : 0;
    const int originY = grid ? grid->originY : 0;
    StartEffect(g_ballEffects.goal, float(goalX + originX), float(goalY + originY), colour * 11, 11);
    return 1;
}

int Ball::Overlaps(const Ball& other) const {
    return state == kBallActive && other.state == kBallActive &&
           Within(other.x, other.y, float(other.collideDistance));
}

void Ball::Explode(ExplosionPool* pool) {
    state = kBallGone;
    Explosion* explosion = pool ? pool->GetFree() : nullptr;
    if (!explosion) return;
    const int originX = grid ? grid->originX : 0;
    const int originY = grid ? grid->originY : 0;
    explosion->Start(x + float(originX), y + float(originY));
}
