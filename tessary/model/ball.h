// The moving pieces of the puzzle. A ball slides with a heading and a speed, loses speed to friction,
// bounces off the field's edges and off the walls it finds by probing the grid's collision mask, is
// pulled by the magnet, swirled by dimples, swallowed by holes, blown up by mines and other balls, and
// stops in its goal. Its x, y are its centre relative to the grid origin; it is drawn centred.
#pragma once

#include "framework/animation.h"
#include "host/ddraw/ddraw.h"
#include "tessary/model/ball_physics.h"

class TileGrid;
class ExplosionPool;

enum BallState {
    kBallNotInPlay = -1,
    kBallGone = 0, // exploded or fallen
    kBallActive = 1,
    kBallInGoal = 2,
};

// The effect sprites the balls start copies of (owned by the game): a ball falling into a hole
// (frames colour x 6 .. + 6) and a ball settling into its goal (frames colour x 11 .. + 11). NULL: no
// effect is shown, the ball's state still changes.
struct BallEffects {
    Animation* fall = nullptr;
    Animation* goal = nullptr;
};
extern BallEffects g_ballEffects;

class Ball : public Animation {
  public:
    int state = kBallNotInPlay;
    float deceleration = 0.0f; // friction x speed setting
    float heading = 0.0f;      // radians in [0, 6.28318]; 0 along +x, growing toward +y
    float speed = 0.0f;        // pixels per frame
    int swirl = 0;             // dimple swirl direction: 0 none, 1 or 2
    int diameter = 0;          // "ballw"
    int collideDistance = 0;   // "collidew"
    int fieldWidth = 0, fieldHeight = 0;
    int goalX = -1, goalY = -1;                     // centre of its goal, or -1, -1
    IDirectDrawSurface* collisionSurface = nullptr; // the grid's (not owned)
    TileGrid* grid = nullptr;
    int colour = 0;        // 0-3, 4 for extra balls
    int nextWallSound = 0; // clock time before which no wall sound plays

    // The frame's step: the field's edges, the wall probe and its reflections, the move by the speed,
    // the velocity from heading and speed, and friction. Without a collision surface only the edges
    // apply. A move longer than StepLength is made in equal pieces, each probed, and no piece takes the
    // centre onto a wall, so no ball passes through a wall at any speed.
    void Move() override;
    // Draws the ball at its screen position (shifted by the grid origin).
    void DrawTo(IDirectDrawSurface* target) override;
    // The magnet: pulls toward screen point (mx, my) by force / frame rate.
    void PullToward(int mx, int my, float force);
    // Adds (dx, dy) to the velocity; heading and speed follow.
    void AddVelocity(float dx, float dy);
    // Pulls toward and swirls round every dimple of the grid the ball lies within.
    void ApplyDimples(const TileGrid& grid);
    // A hole within reach: gone, the fall effect at the hole, "falling".
    void CheckHoles(const TileGrid& grid);
    // A mine within reach: gone, an explosion, "explode", the mine cleared from layer "mine" and its cell
    // redrawn on the screen updater's background, the mine list rebuilt (the walk goes on over the
    // rebuilt list, so an overlapping second mine goes off too).
    void CheckMines(TileGrid& grid);
    // An active ball within half its frame width of its goal: in goal, the goal effect; returns 1. Else 0.
    int CheckGoal();
    // Both active and other's centre within other's collideDistance of this ball.
    int Overlaps(const Ball& other) const;
    // Gone, with the pool's first free explosion (if any) at the ball's screen position.
    void Explode(ExplosionPool* pool);
    // Whether (px, py) lies closer than r to the centre (d < r); the distance into *distance when given.
    bool Within(float px, float py, float r, float* distance = nullptr) const;
    // The largest speed Move lets the ball have (pixels per frame): its field's larger side, as a faster
    // ball would cross the whole field in one frame.
    float MaxSpeed() const;
    // The longest piece of a frame's move between two probes: one pixel less than the radius (at least
    // one pixel), so that the probe ahead sees a wall before the centre can reach it.
    float StepLength() const;

  private:
    // Reflects off a wall on side (0 +x, 1 -x, 2 +y, 3 -y), with the wall sound.
    void Reflect(int side);
    void WallSound(float oldHeading, float newHeading);
    void ReflectAtEdges();
    // Locks the collision surface into view; false (view left empty) when it cannot be locked.
    bool LockCollisionView(CollisionView& view);
    // One of pieces equal pieces of the frame's move: probe, reflections, and the move unless it would
    // take the centre onto a wall (then a reflection off that wall instead).
    void MovePiece(const CollisionView& view, int pieces);
};
