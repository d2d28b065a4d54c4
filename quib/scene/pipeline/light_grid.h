// The light table and the 16 x 16 grid over x and z that finds the lights near a point: each cell lists,
// in table order, the lights whose square of side 2 x radius around (x, z) overlaps it.
#pragma once

#include "quib/point_light.h"

struct LightEntry {
    float x, y, z;
    float radius2;
    float reserved; // 64, unused
    float radius;
    float strength;
};

// Replaces the table and the grid by count lights (none for count <= 0 or null lights). When all lights
// share one x (or z) that axis of the grid spans one unit from them, so nothing divides by zero.
void build_light_grid(const point_light_incoming* lights, int count);
// Whether a grid has been built (before that there are no lights at all).
bool light_grid_built();
// The cell of the world position (x, z), each index clamped to 0..15 (0 for a non-finite position).
void light_grid_cell(float x, float z, int& cell_x, int& cell_z);
// The lights of a cell, null-terminated; an empty list before the first build.
const LightEntry* const* light_grid_list(int cell_x, int cell_z);
// The table entry index of a light of the table.
int light_table_index(const LightEntry* light);
// Up to three lights of position's cell whose horizontal distance is below their radius, nearest first
// (ties keep the earlier light in front). Returns how many.
int choose_nearest_lights(const float position[3], const LightEntry* chosen[3]);
