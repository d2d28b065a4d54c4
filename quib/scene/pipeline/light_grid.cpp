#include "quib/scene/pipeline/light_grid.h"

#include <cmath>
#include <vector>

#include "quib/scene/pipeline/lighting.h"

namespace {

constexpr int kCells = kLightGridSize * kLightGridSize;
constexpr float kExtentStart = 10000000.0f;
constexpr float kNoLightDistance2 = 100000000.0f;

struct LightGrid {
    std::vector<LightEntry> table;
    // Every cell's null-terminated list, one after another; cellStart gives where each begins.
    std::vector<const LightEntry*> lists;
    int cellStart[kCells] = {};
    float firstCentre[2] = {}; // x, z
    float cellsPerUnit[2] = {};
    bool built = false;
};

LightGrid s_grid;
const LightEntry* const kEmptyList[1] = {nullptr};

// Cells per unit along one axis from the light positions' range; a range of zero (one light, lights in
// a line) or a non-finite one counts as one unit.
void set_axis(int axis, float low, float high) {
    float extent = high - low;
    if (!(extent > 0.0f) || !std::isfinite(extent)) extent = 1.0f;
    if (!std::isfinite(low)) low = 0.0f;
    s_grid.cellsPerUnit[axis] = float(kLightGridSize) / extent;
    s_grid.firstCentre[axis] = low + 0.5f / s_grid.cellsPerUnit[axis];
}

int axis_cell(int axis, float position) {
    float v = (position - s_grid.firstCentre[axis]) * s_grid.cellsPerUnit[axis];
    if (!(v >= 0.0f)) return 0; // below the grid, or not a number
    if (v >= float(kLightGridSize - 1)) return kLightGridSize - 1;
    return int(std::lround(v));
}

} // namespace

void build_light_grid(const point_light_incoming* lights, int count) {
    LightGrid& g = s_grid;
    g.table.clear();
    g.lists.clear();
    if (lights && count > 0) {
        g.table.reserve(size_t(count));
        for (int i = 0; i < count; ++i) {
            const point_light_incoming& in = lights[i];
            g.table.push_back({in.x, in.y, in.z, in.radius * in.radius, 64.0f, in.radius, in.strength});
        }
    }
    float low[2] = {kExtentStart, kExtentStart}, high[2] = {-kExtentStart, -kExtentStart};
    for (const LightEntry& light : g.table) {
        low[0] = std::fmin(low[0], light.x);
        high[0] = std::fmax(high[0], light.x);
        low[1] = std::fmin(low[1], light.z);
        high[1] = std::fmax(high[1], light.z);
    }
    if (g.table.empty()) low[0] = low[1] = high[0] = high[1] = 0.0f;
    set_axis(0, low[0], high[0]);
    set_axis(1, low[1], high[1]);

    // The lists grow on the heap as needed: no fixed scratch area to overflow.
    const float half[2] = {0.5f / g.cellsPerUnit[0], 0.5f / g.cellsPerUnit[1]};
    for (int cx = 0; cx < kLightGridSize; ++cx) {
        const float centreX = g.firstCentre[0] + float(cx) / g.cellsPerUnit[0];
        for (int cz = 0; cz < kLightGridSize; ++cz) {
            const float centreZ = g.firstCentre[1] + float(cz) / g.cellsPerUnit[1];
            g.cellStart[cx * kLightGridSize + cz] = int(g.lists.size());
            for (const LightEntry& light : g.table)
                if (light.x - light.radius < centreX + half[0] &&
                    light.x + light.radius > centreX - half[0] &&
                    light.z - light.radius < centreZ + half[1] && light.z + light.radius > centreZ - half[1])
                    g.lists.push_back(&light);
            g.lists.push_back(nullptr);
        }
    }
    g.built = true;
}

bool light_grid_built() {
    return s_grid.built;
}

void light_grid_cell(float x, float z, int& cell_x, int& cell_z) {
    cell_x = axis_cell(0, x);
    cell_z = axis_cell(1, z);
}

const LightEntry* const* light_grid_list(int cell_x, int cell_z) {
    if (!s_grid.built || cell_x < 0 || cell_z < 0 || cell_x >= kLightGridSize || cell_z >= kLightGridSize)
        return kEmptyList;
    return s_grid.lists.data() + s_grid.cellStart[cell_x * kLightGridSize + cell_z];
}

int light_table_index(const LightEntry* light) {
    return int(light - s_grid.table.data());
}

int choose_nearest_lights(const float position[3], const LightEntry* chosen[3]) {
    int cx, cz;
    light_grid_cell(position[0], position[2], cx, cz);
    float best[kMaxLightsPerSubMesh] = {kNoLightDistance2, kNoLightDistance2, kNoLightDistance2};
    int found = 0;
    for (int k = 0; k < kMaxLightsPerSubMesh; ++k)
        chosen[k] = nullptr;
    for (const LightEntry* const* it = light_grid_list(cx, cz); *it; ++it) {
        const LightEntry* light = *it;
        const float dx = position[0] - light->x, dz = position[2] - light->z;
        const float d2 = dx * dx + dz * dz;
        if (!(d2 < light->radius2)) continue;
        for (int slot = 0; slot < kMaxLightsPerSubMesh; ++slot) {
            if (!(d2 < best[slot])) continue;
            for (int k = kMaxLightsPerSubMesh - 1; k > slot; --k) {
                best[k] = best[k - 1];
                chosen[k] = chosen[k - 1];
            }
            best[slot] = d2;
            chosen[slot] = light;
            if (found < kMaxLightsPerSubMesh) ++found;
            break;
        }
    }
    return found;
}
