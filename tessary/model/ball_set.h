// The balls of a level: built from the tile grid at every level start, joined by the extra balls that
// generators emit, and asked whether every coloured ball is finished.
#pragma once

#include "quib/ptrarray.h"
#include "tessary/model/ball.h"

class TileGrid;
class Tile;
struct GeneratorEntry;

class BallSet {
  public:
    PtrArray<Ball> balls;     // owned
    TileGrid* grid = nullptr; // the grid of the last build

    BallSet() = default;
    ~BallSet();
    BallSet(const BallSet&) = delete;
    BallSet& operator=(const BallSet&) = delete;

    // Reads the physics settings from ".\\setup.ini"; without a grid nothing more. Else replaces the balls:
    // per colour 0-3 the first ball tile of layer "special" (with the first goal tile of that colour in
    // layer "background" as its goal), then one extra ball per colour-4 ball tile of "special". Each
    // starts at its cell position plus half its frame width, at rest.
    void BuildFromGrid(TileGrid* field);
    // Adds an extra ball at the generator's centre, drawn like the palette's colour-4 ball tile; none
    // when the palette has no such tile or no grid was built. Returns the ball or NULL.
    Ball* SpawnAtGenerator(const GeneratorEntry& generator);
    // 0 when the set is empty or a ball of colour 0-3 is still waiting or active; else 1.
    int AllFinished() const;
    // Deletes every ball.
    void Clear();

  private:
    // A new ball of colour showing tile's image, at rest at (x, y), with the grid's field and the
    // physics settings; appended. NULL when it could not be added.
    Ball* AddBall(Tile* tile, int colour, float x, float y);
};

// The program's balls.
extern BallSet g_ballSet;
