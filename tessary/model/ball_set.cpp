#include "tessary/model/ball_set.h"

#include "framework/surface_helpers.h"
#include "tessary/model/physics_settings.h"
#include "tessary/model/tile_grid.h"

BallSet g_ballSet;

BallSet::~BallSet() {
    Clear();
}

void BallSet::Clear() {
    balls.DeleteAll();
}

Ball* BallSet::AddBall(Tile* tile, int colour, float x, float y) {
    Ball* ball = new Ball;
    IDirectDrawSurface* image = tile ? tile->GetFirstFrame() : nullptr;
    if (image) ball->AddFrame(DuplicateSurface(image));
    if (tile && tile->file[0]) ball->AddFrameFromFile(tile->file);
    ball->colour = colour;
    ball->grid = grid;
    ball->fieldWidth = grid->width;
    ball->fieldHeight = grid->height;
    ball->collisionSurface = grid->collisionSurface;
    ball->SetCentered(1);
    ball->diameter = g_physics.ballWidth;
    ball->collideDistance = g_physics.collideWidth;
    ball->deceleration = g_physics.friction * g_physics.speed;
    ball->heading = 0.0f;
    ball->speed = 0.0f;
    ball->state = kBallActive;
    ball->x = x;
    ball->y = y;
    if (!balls.Add(ball)) {
        delete ball;
        return nullptr;
    }
    return ball;
}

void BallSet::BuildFromGrid(TileGrid* field) {
    LoadPhysicsSettings(".\\setup.ini");
    if (!field) return;
    Clear();
    grid = field;
    const bool hasSpecial = field->FindLayer("special") >= 0;
    const bool hasBackground = field->FindLayer("background") >= 0;
    for (int colour = kColourBlue; colour <= kColourYellow && hasSpecial; ++colour) {
        field->SelectLayer("special");
        int cell = -1;
        Tile* tile = field->FindCellTile(kTileBall, colour, &cell);
        if (!tile) continue;
        int cx = 0, cy = 0;
        field->CellPosition(cell, cx, cy);
        Ball* ball = AddBall(tile, colour, 0.0f, 0.0f);
        if (!ball) continue;
        const int half = ball->frameWidth / 2;
        ball->x = float(cx + half);
        ball->y = float(cy + half);
        int goalCell = -1;
        if (hasBackground) {
            field->SelectLayer("background");
            if (field->FindCellTile(kTileGoal, colour, &goalCell)) {
                field->CellPosition(goalCell, ball->goalX, ball->goalY);
                ball->goalX += half;
                ball->goalY += half;
            }
        }
    }
    if (!hasSpecial) return;
    field->SelectLayer("special");
    PtrArray<Tile> extras;
    field->CollectCells(kTileBall, kColourExtra, extras);
    for (int i = 0; i < extras.count; ++i) {
        Tile* extra = extras.items[i];
        Ball* ball = AddBall(extra, kColourExtra, 0.0f, 0.0f);
        if (ball) {
            const int half = ball->frameWidth / 2;
            ball->x = extra->x + float(half);
            ball->y = extra->y + float(half);
        }
    }
    extras.DeleteAll();
}

Ball* BallSet::SpawnAtGenerator(const GeneratorEntry& generator) {
    if (!grid) return nullptr;
    Tile* tile = grid->FindTile(kTileBall, kColourExtra);
    if (!tile) return nullptr;
    return AddBall(tile, kColourExtra, float(generator.x), float(generator.y));
}

int BallSet::AllFinished() const {
    if (balls.count == 0) return 0;
    for (int i = 0; i < balls.count; ++i) {
        const Ball* ball = balls.items[i];
        if (ball->colour >= kColourBlue && ball->colour <= kColourYellow &&
            (ball->state == kBallNotInPlay || ball->state == kBallActive)) {
            return 0;
        }
    }
    return 1;
}
