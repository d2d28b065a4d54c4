// Drawing the grid: single cells, all layers, the pre-rendered wall picture and collision mask, and the
// special lists that Rebuild derives from the layers.
#include <cstring>

#include "framework/screen_updater.h"
#include "framework/surface_helpers.h"
#include "tessary/model/tile_grid.h"

void TileGrid::DrawCell(IDirectDrawSurface* target, Tile* tile, int cell, int withSpecial) {
    if (!tile) return;
    int cx = 0, cy = 0;
    CellPosition(cell, cx, cy);
    tile->SetPosition(originX + cx, originY + cy);
    SpecialSprite* special = withSpecial ? tile->special : nullptr;
    if (special && special->frames && special->frames->count > 0) {
        special->SetPosition(originX + cx, originY + cy);
        special->DrawTo(target);
        if (editMode == kEditPalette || editMode == kEditPaint) tile->DrawTo(target);
    } else {
        tile->DrawTo(target);
    }
    tile->x = float(cx);
    tile->y = float(cy);
}

void TileGrid::DrawAllLayers(IDirectDrawSurface* target) {
    for (int layer = 0; layer < layers.count; ++layer) {
        PtrArray<Tile>& layerCells = layers.items[layer]->cells;
        for (int cell = 0; cell < layerCells.count; ++cell)
            DrawCell(target, layerCells.items[cell], cell, 1);
    }
}

void TileGrid::SetPaletteRegistering(int on) {
    for (int i = 0; i < palette.count; ++i) {
        Tile* tile = palette.items[i];
        tile->SetRegisterRect(on);
        if (tile->special) tile->special->SetRegisterRect(on);
    }
}

void TileGrid::PrepareFieldSurface(IDirectDrawSurface*& surface) const {
    if (!surface && width > 0 && height > 0) surface = CreateSurface(width, height);
    if (!surface) return;
    FillSurfaceRGB(surface, 0, 0, 255);
    SetColorKey(surface, 0, 0, 255);
}

void TileGrid::DrawLayerCells(IDirectDrawSurface* target, int layer, bool generatorsOnly) {
    if (!target || layer < 0 || layer >= layers.count) return;
    PtrArray<Tile>& layerCells = layers.items[layer]->cells;
    for (int cell = 0; cell < layerCells.count; ++cell) {
        Tile* tile = layerCells.items[cell];
        if (!tile) continue;
        if (generatorsOnly ? tile->type != kTileGenerator : tile->index <= 1) continue;
        DrawCell(target, tile, cell, 1);
    }
}

void TileGrid::Rebuild() {
    // The surfaces are made once and refilled: balls keep the collision surface for as long as the grid
    // lives, across every rebuild.
    PrepareFieldSurface(collisionSurface);
    PrepareFieldSurface(wallSurface);

    // Drawn with the origin at (0, 0), in play mode (the editor would add the tiles' own icons to the
    // blocks), and without restore reports: these surfaces are not the screen.
    const int savedX = originX, savedY = originY, savedMode = editMode;
    originX = originY = 0;
    editMode = kEditPlay;
    SetPaletteRegistering(0);

    DrawLayerCells(collisionSurface, FindLayer("wall"), false);
    DrawLayerCells(collisionSurface, FindLayer("generator"), true);
    const int wallLayer = FindLayer("wall");
    for (int layer = 0; layer <= wallLayer; ++layer)
        DrawLayerCells(wallSurface, layer, false);

    SetPaletteRegistering(1);
    originX = savedX;
    originY = savedY;
    editMode = savedMode;
    BuildLists();
}

namespace {

// Calls add(tile, centreX, centreY) for every cell of layer holding a tile of type.
template <class Add> void ForEachTileOfType(const TileGrid& grid, const char* layerName, int type, Add add) {
    int layer = grid.FindLayer(layerName);
    if (layer < 0) return;
    const PtrArray<Tile>& layerCells = grid.layers.items[layer]->cells;
    for (int cell = 0; cell < layerCells.count; ++cell) {
        Tile* tile = layerCells.items[cell];
        if (!tile || tile->type != type || tile->colour != 0) continue;
        int cx = 0, cy = 0;
        grid.CellPosition(cell, cx, cy);
        add(tile, cx + tile->frameWidth / 2, cy + tile->frameHeight / 2);
    }
}

} // namespace

void TileGrid::RebuildMineList() {
    mines.DeleteAll();
    ForEachTileOfType(*this, "mine", kTileMine, [this](Tile* tile, int x, int y) {
        MineEntry* entry = new MineEntry{x, y, tile->radius};
        if (!mines.Add(entry)) delete entry;
    });
}

void TileGrid::BuildLists() {
    dimples.DeleteAll();
    holes.DeleteAll();
    generators.DeleteAll();
    ForEachTileOfType(*this, "dimple", kTileDimple, [this](Tile* tile, int x, int y) {
        const Dimple* dimple = static_cast<const Dimple*>(tile->special);
        DimpleEntry* entry = new DimpleEntry{x, y, tile->radius, dimple ? dimple->force : 1.0f};
        if (!dimples.Add(entry)) delete entry;
    });
    ForEachTileOfType(*this, "hole", kTileHole, [this](Tile* tile, int x, int y) {
        HoleEntry* entry = new HoleEntry{x, y, tile->radius};
        if (!holes.Add(entry)) delete entry;
    });
    ForEachTileOfType(*this, "generator", kTileGenerator, [this](Tile* tile, int x, int y) {
        const Generator* generator = static_cast<const Generator*>(tile->special);
        GeneratorEntry* entry = new GeneratorEntry{x, y, generator ? generator->rate : 5};
        if (!generators.Add(entry)) delete entry;
    });
    RebuildMineList();
}

void TileGrid::BlitWalls(IDirectDrawSurface* target) {
    if (!wallSurface || !target) return;
    DrawSurfaceAt(wallSurface, target, originX, originY, kBltWaitKeySrc);
}

void TileGrid::ClearCellAndRedraw(IDirectDrawSurface* target, const char* layerName, int cell) {
    if (cell < 0 || cell >= CellCount()) return;
    const int previousLayer = currentLayer;
    PtrArray<Tile>* previousCells = cells;
    SelectLayer(layerName);
    if (currentLayer >= 0) cells->items[cell] = nullptr;
    currentLayer = previousLayer;
    cells = previousCells;
    if (!target) return;
    int cx = 0, cy = 0;
    CellPosition(cell, cx, cy);
    if (target == g_screenUpdater.GetBackground())
        g_screenUpdater.RestoreRect(originX + cx, originY + cy, cellWidth, cellHeight);
    // The layers of the picture only: a ball's start tile above "wall" is no part of the background.
    const int wallLayer = FindLayer("wall");
    const int lastLayer = wallLayer >= 0 ? wallLayer : layers.count - 1;
    for (int layer = 0; layer <= lastLayer; ++layer)
        DrawCell(target, layers.items[layer]->cells.items[cell], cell, 1);
}
