#include "tessary/model/tile_grid.h"

#include <cstdio>
#include <cstring>

#include "framework/surface_helpers.h"
#include "framework/screen_updater.h"
#include "tessary/model/ball_set.h"
#include "tessary/model/ini_values.h"

TileGrid* g_tileGrid = nullptr;

namespace {

// The layer names the grid looks up.
constexpr const char* kLayerBackground = "background";

// Bounded loops over INI keys that end at "none": a file cannot hold more, but a cap keeps the loop
// finite whatever the profile functions answer.
constexpr int kMaxIniLayers = 999;
constexpr int kMaxIniPaletteFiles = 9999;

} // namespace

TileGrid::TileGrid(const char* iniPath) {
    ReadGridKeys(iniPath);
    paletteColumns = columns;
    AddLayer(kLayerBackground);
    SelectLayerIndex(0);
}

TileGrid::~TileGrid() {
    if (collisionSurface) collisionSurface->Release();
    if (wallSurface) wallSurface->Release();
    dimples.DeleteAll();
    generators.DeleteAll();
    holes.DeleteAll();
    mines.DeleteAll();
    layers.DeleteAll();
    palette.DeleteAll();
}

void TileGrid::ReadGridKeys(const char* iniPath) {
    originX = ReadIniInt(iniPath, "grid", "gridx", "0", -kMaxGridPixels, kMaxGridPixels);
    originY = ReadIniInt(iniPath, "grid", "gridy", "0", -kMaxGridPixels, kMaxGridPixels);
    columns = ReadIniInt(iniPath, "grid", "gridw", "0", 0, kMaxGridCells);
    rows = ReadIniInt(iniPath, "grid", "gridh", "0", 0, kMaxGridCells);
    cellWidth = ReadIniInt(iniPath, "grid", "wallw", "0", 0, kMaxCellPixels);
    cellHeight = ReadIniInt(iniPath, "grid", "wallh", "0", 0, kMaxCellPixels);
    // A field too large for a surface keeps the cells that fit.
    if (cellWidth > 0 && columns * cellWidth > kMaxGridPixels) columns = kMaxGridPixels / cellWidth;
    if (cellHeight > 0 && rows * cellHeight > kMaxGridPixels) rows = kMaxGridPixels / cellHeight;
    width = cellWidth * columns;
    height = cellHeight * rows;
}

void TileGrid::MakeCheckerboard() {
    const int pixels[2] = {kCheckerPixel0, kCheckerPixel1};
    for (int i = 0; i < 2; ++i) {
        IDirectDrawSurface* image = CreateSurface(cellWidth, cellHeight);
        if (image) FillSurface(image, pixels[i]);
        Tile* tile = new Tile;
        tile->AddFrame(image);
        tile->type = kTileCheckerboard;
        tile->index = i;
        tile->layer = 0;
        checkerboard[i] = tile;
        palette.Add(tile);
    }
    for (int cell = 0; cell < CellCount(); ++cell)
        SetCell(0, cell);
}

void TileGrid::ReadLayers(const char* iniPath) {
    if (layersLoaded) return;
    layersLoaded = 1;
    for (int n = 1; n <= kMaxIniLayers; ++n) {
        char key[16];
        std::snprintf(key, sizeof key, "layer%02d", n);
        char name[kTileTextSize];
        ReadIniText(iniPath, "layer", key, "none", name, sizeof name);
        if (std::strcmp(name, "none") == 0) break;
        AddLayer(name);
    }
}

Tile* TileGrid::AddPaletteTile(IDirectDrawSurface* image, const char* section) {
    Tile* tile = new Tile;
    tile->AddFrame(image);
    tile->index = palette.count;
    CopyTileText(tile->section, section);
    if (!palette.Add(tile)) {
        delete tile;
        return nullptr;
    }
    return tile;
}

void TileGrid::ReadPalette(const char* iniPath) {
    if (paletteLoaded) return;
    paletteLoaded = 1;
    char file[256];
    ReadIniText(iniPath, "grid", "tilegrid", "none", file, sizeof file);
    if (std::strcmp(file, "none") != 0) {
        PtrArray<IDirectDrawSurface> images;
        if (cellWidth > 0 && cellHeight > 0) LoadFrames(file, &images, cellWidth, cellHeight);
        for (int k = 0; k < images.count; ++k) {
            char section[kTileTextSize];
            std::snprintf(section, sizeof section, "p%03d", k + 2);
            Tile* tile = AddPaletteTile(images.items[k], section);
            if (!tile) {
                images.items[k]->Release();
                continue;
            }
            // Only the cut tiles have sections; the checkerboard keeps its own attributes.
            tile->ReadAttributes(iniPath, *this);
        }
        return;
    }
    for (int n = 1; n <= kMaxIniPaletteFiles; ++n) {
        char key[16];
        std::snprintf(key, sizeof key, "p%03d", n);
        ReadIniText(iniPath, "grid", key, "none", file, sizeof file);
        if (std::strcmp(file, "none") == 0) break;
        Tile* tile = AddPaletteTile(nullptr, key);
        if (!tile) break;
        tile->AddFrameFromFile(file);
        CopyTileText(tile->file, file);
        tile->layer = 0;
    }
}

int TileGrid::AddLayer(const char* name) {
    GridLayer* layer = new GridLayer;
    CopyTileText(layer->name, name);
    layer->cells.SetCount(CellCount());
    if (layer->cells.count != CellCount() || !layers.Add(layer)) {
        delete layer;
        return -1;
    }
    return layers.count - 1;
}

int TileGrid::FindLayer(const char* name) const {
    if (!name) return -1;
    for (int i = 0; i < layers.count; ++i) {
        if (std::strcmp(layers.items[i]->name, name) == 0) return i;
    }
    return -1;
}

void TileGrid::SelectLayer(const char* name) {
    int i = FindLayer(name);
    if (i < 0) {
        currentLayer = -1;
        return;
    }
    SelectLayerIndex(i);
}

void TileGrid::SelectLayerIndex(int i) {
    if (i < 0 || i >= layers.count) return;
    currentLayer = i;
    cells = &layers.items[i]->cells;
}

int TileGrid::CellAt(int x, int y) const {
    if (x < originX || y < originY || x >= originX + width || y >= originY + height) return -1;
    return CellIndex((x - originX) / cellWidth, (y - originY) / cellHeight);
}

void TileGrid::CellPosition(int i, int& x, int& y) const {
    if (columns <= 0) {
        x = y = 0;
        return;
    }
    x = (i % columns) * cellWidth;
    y = (i / columns) * cellHeight;
}

int TileGrid::SetCell(int tileIndex, int cell) {
    if (tileIndex < 0 || tileIndex >= palette.count || cell < 0 || cell >= CellCount()) return 0;
    if (tileIndex > 1) {
        Tile* tile = palette.items[tileIndex];
        SelectLayerIndex(tile->layer);
        if (!cells) return 0;
        cells->items[cell] = tile;
        tile->index = tileIndex;
        return 1;
    }
    for (int i = 1; i < layers.count; ++i)
        layers.items[i]->cells.items[cell] = nullptr;
    SelectLayerIndex(0);
    const int column = cell % columns;
    const int row = cell / columns;
    cells->items[cell] = checkerboard[(row & 1) ^ (column & 1)];
    return 1;
}

void TileGrid::ClearLayers() {
    for (int i = 0; i < layers.count; ++i)
        layers.items[i]->cells.ZeroSlots();
}

Tile* TileGrid::FindTile(int type, int colour) const {
    for (int i = 0; i < palette.count; ++i) {
        Tile* tile = palette.items[i];
        if (tile->type == type && tile->colour == colour) return tile;
    }
    return nullptr;
}

Tile* TileGrid::FindCellTile(int type, int colour, int* cell) const {
    if (!cells) return nullptr;
    for (int i = 0; i < cells->count; ++i) {
        Tile* tile = cells->items[i];
        if (tile && tile->type == type && tile->colour == colour) {
            if (cell) *cell = i;
            return tile;
        }
    }
    return nullptr;
}

bool TileGrid::CellTilePosition(int type, int colour, int& x, int& y) const {
    int cell = -1;
    if (!FindCellTile(type, colour, &cell)) return false;
    CellPosition(cell, x, y);
    return true;
}

void TileGrid::CollectCells(int type, int colour, PtrArray<Tile>& out) const {
    if (!cells) return;
    for (int i = 0; i < cells->count; ++i) {
        Tile* tile = cells->items[i];
        if (!tile || tile->type != type || tile->colour != colour) continue;
        Tile* copy = new Tile(*tile);
        int cx = 0, cy = 0;
        CellPosition(i, cx, cy);
        copy->SetPosition(cx, cy);
        copy->frameWidth = tile->frameWidth;
        copy->frameHeight = tile->frameHeight;
        if (!out.Add(copy)) delete copy;
    }
}

void ReloadGrid() {
    if (!g_tileGrid) {
        CreateGrid(".\\setup.ini");
        return;
    }
    int backgroundWidth = 0, backgroundHeight = 0;
    GetSurfaceSize(g_screenUpdater.GetBackground(), &backgroundWidth, &backgroundHeight);
    if (backgroundWidth > kPanelWidth && backgroundHeight > 0)
        g_screenUpdater.RestoreRect(kPanelWidth, 0, backgroundWidth - kPanelWidth, backgroundHeight);
}

void CreateGrid(const char* iniPath) {
    DeleteGrid();
    g_tileGrid = new TileGrid(iniPath);
    g_tileGrid->MakeCheckerboard();
    g_tileGrid->ReadLayers(iniPath);
    g_tileGrid->ReadPalette(iniPath);
}

void DeleteGrid() {
    if (g_tileGrid && g_ballSet.grid == g_tileGrid) {
        g_ballSet.Clear();
        g_ballSet.grid = nullptr;
    }
    delete g_tileGrid;
    g_tileGrid = nullptr;
}
