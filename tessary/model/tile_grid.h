// The level model: a rectangle of equal cells on the screen holding named layers ("background" first,
// then those of section "layer" of setup.ini); each cell of a layer refers to one tile of the palette.
// From the layers the grid pre-renders the wall picture and the collision mask that balls probe, and
// builds the lists of dimples, holes, generators and mines that the game walks each frame. Level files
// store only the layers' palette indices; the editor paints cells with the mouse.
#pragma once

#include <cstdint>
#include <string>

#include "host/ddraw/ddraw.h"
#include "quib/ptrarray.h"
#include "tessary/model/level_file.h"
#include "tessary/model/tile.h"

// One layer: its name and a cell array of columns x rows tiles (NULL = empty).
struct GridLayer {
    char name[kTileTextSize] = {};
    PtrArray<Tile> cells;
};

// List entries; x, y are the cell centre relative to the grid origin.
struct DimpleEntry {
    int x, y, radius;
    float force;
};
struct HoleEntry {
    int x, y, radius;
};
struct MineEntry {
    int x, y, radius;
};
struct GeneratorEntry {
    int x, y, rate;
    int phaseTime = 0;
    int phase = 0;
};

// Editor modes (TileGrid::editMode).
enum EditMode {
    kEditPlay = 0,
    kEditPalette = 1,
    kEditPaint = 2,
};

// The limits kept from the "grid" section: a larger or negative value is clamped, and the pixel size
// of the field is held within kMaxGridPixels in each direction.
constexpr int kMaxGridCells = 1024;
constexpr int kMaxCellPixels = 1024;
constexpr int kMaxGridPixels = 4096;

// The left-hand panel of the screen; the playfield lies right of it.
constexpr int kPanelWidth = 110;

// The raw 16-bit pixels of the two checkerboard tiles.
constexpr int kCheckerPixel0 = 10;
constexpr int kCheckerPixel1 = 0x4000;

class TileGrid {
  public:
    int originX = 0, originY = 0; // top-left on the screen ("gridx", "gridy")
    int width = 0, height = 0;    // pixels
    int cellWidth = 0, cellHeight = 0;
    int columns = 0, rows = 0;
    int paletteColumns = 0; // row length of the palette in the editor's palette view
    int editMode = kEditPaint;
    int selectedTile = 0;            // palette index the editor paints
    int hoverCell = -1;              // cell under the mouse in paint mode
    PtrArray<Tile>* cells = nullptr; // the current layer's cells
    PtrArray<Tile> palette;          // owned; position = palette index
    PtrArray<GridLayer> layers;      // owned
    PtrArray<DimpleEntry> dimples;   // owned
    PtrArray<GeneratorEntry> generators;
    PtrArray<HoleEntry> holes;
    PtrArray<MineEntry> mines;
    int currentLayer = -1;                          // -1 after selecting a missing name
    IDirectDrawSurface* collisionSurface = nullptr; // owned
    IDirectDrawSurface* wallSurface = nullptr;      // owned
    Tile* checkerboard[2] = {nullptr, nullptr};     // palette entries 0 and 1
    int paletteLoaded = 0;
    int layersLoaded = 0;
    int previousButtons = 0; // the editor's button bits of its previous call
    std::string levelError;  // why the last level load or save failed

    // Reads section "grid" of iniPath ("gridx", "gridy", "gridw", "gridh", "wallw", "wallh", default 0)
    // and adds the layer "background", selected. editMode starts at 2.
    explicit TileGrid(const char* iniPath);
    // Frees the surfaces, lists, layers and palette.
    ~TileGrid();
    TileGrid(const TileGrid&) = delete;
    TileGrid& operator=(const TileGrid&) = delete;

    // Palette entries 0 and 1: two cell-sized tiles of the raw pixels 10 and 0x4000 (no image without a
    // display), laid on every cell of layer 0 as a checkerboard.
    void MakeCheckerboard();
    // Adds the layers "layer01", "layer02", ... of section "layer" until "none" (once).
    void ReadLayers(const char* iniPath);
    // Fills the palette (once): from the bitmap named by "tilegrid" of section "grid", cut into cells
    // row by row, cell k being palette index k + 2 with the attributes of section "p%03d" of k + 2; or,
    // without one, from the image files "p001", "p002", ... of section "grid" (plain tiles of layer 0).
    void ReadPalette(const char* iniPath);
    // Appends a palette tile of section with image (owned; may be NULL) and returns it.
    Tile* AddPaletteTile(IDirectDrawSurface* image, const char* section);

    // Adds a layer (name cut to 31 characters) with empty cells; returns its index, -1 on failure.
    int AddLayer(const char* name);
    // The index of the first layer called name exactly, or -1.
    int FindLayer(const char* name) const;
    // Selects the layer called name; a missing name sets currentLayer -1 and keeps the previous cells.
    void SelectLayer(const char* name);
    // Selects layer i; refused (nothing changes) when i is out of range.
    void SelectLayerIndex(int i);

    int CellCount() const { return columns * rows; }
    int CellIndex(int col, int row) const { return col + row * columns; }
    // The cell under screen point (x, y), or -1 outside the grid (right and bottom edges exclusive).
    int CellAt(int x, int y) const;
    // The top-left of cell i relative to the origin.
    void CellPosition(int i, int& x, int& y) const;

    // Places palette tile tileIndex at cell. Above 1: in the tile's own layer (or the current one when
    // its layer is missing), which becomes current. 0 or 1: clears the cell in every layer above 0 and
    // lays the checkerboard tile of the cell's parity in layer 0. Returns 0, changing nothing, for an
    // index outside the palette or a cell outside the grid.
    int SetCell(int tileIndex, int cell);
    // Empties every cell of every layer (the tiles stay in the palette).
    void ClearLayers();
    // A mine went off: empties cell of layer layerName, selects the previous layer again, and redraws the
    // cell onto target from every layer of the picture (up to "wall"; all layers without one). On the
    // screen updater's background the cell's rectangle is first restored from the clean copy, so nothing
    // of the old tile is left.
    void ClearCellAndRedraw(IDirectDrawSurface* target, const char* layerName, int cell);
    // Draws tile at cell on target (screen position = origin + cell position), with its special block
    // when withSpecial is set; the tile's x, y become the cell position.
    void DrawCell(IDirectDrawSurface* target, Tile* tile, int cell, int withSpecial);
    // DrawCell of every filled cell of every layer, in layer order, with specials.
    void DrawAllLayers(IDirectDrawSurface* target);
    // Renders the collision mask (layer "wall" tiles above index 1 and generator blocks of layer
    // "generator"), the wall picture (every tile above index 1 of the layers up to "wall", with their
    // blocks) and the dimple, hole, generator and mine lists. Surfaces need the display; without it they
    // stay NULL and only the lists are built. The surfaces are made once and refilled by later calls.
    void Rebuild();
    // Rebuilds the mine list alone from layer "mine".
    void RebuildMineList();
    // Blits the wall picture onto target at the origin with the source colour key, clipped.
    void BlitWalls(IDirectDrawSurface* target);

    // The first palette tile of that type and colour, or NULL.
    Tile* FindTile(int type, int colour) const;
    // The first tile of that type and colour among the current layer's cells, or NULL; its cell into
    // *cell when given.
    Tile* FindCellTile(int type, int colour, int* cell = nullptr) const;
    // The position of that cell tile (relative to the origin); false when there is none.
    bool CellTilePosition(int type, int colour, int& x, int& y) const;
    // Appends to out positioned copies (frames and special shared) of the current layer's tiles of that
    // type and colour, x, y = their cell positions. The caller owns the copies.
    void CollectCells(int type, int colour, PtrArray<Tile>& out) const;

    // ---- Level files ----

    // Writes every layer to path. 0 with the box "Can't save file..." (text: the path) when the file
    // cannot be created or written; 1 when written.
    int SaveLevel(const char* path);
    // Reads a level file. 0 when it cannot be opened, is malformed or does not fit this grid (the
    // reason in levelError): nothing changes. Else the cells are replaced, the grid rebuilt, and 1.
    int LoadLevel(const char* path);
    // LoadLevel of a file's bytes.
    int LoadLevelData(const uint8_t* data, size_t size);
    // The grid's layers as a level file.
    LevelFileData ToLevelFile() const;
    // Whether level fits this grid: at most as many layers as the grid, every name a layer of the grid,
    // every cell count columns x rows, every index -1 or inside the palette. Else false with the reason.
    bool CheckLevel(const LevelFileData& level, std::string& error) const;

    // ---- Editor ----

    void SetEditMode(int mode) { editMode = mode; }
    int GetEditMode() const { return editMode; }
    // The editor's mouse input (buttons: bit 1 left, bit 2 right; a press is new when the previous
    // call's bits were 0). A right press toggles palette view and paint mode. In palette view a left
    // press on the grid picks the palette entry under the mouse (none: entry 0) and goes to paint mode
    // (outside the grid it does nothing); in paint
    // mode a left press paints the selected tile into the cell under the mouse, else the hover cell
    // follows the mouse.
    void EditorInput(int x, int y, int buttons);
    // Palette view: all layers, then the palette laid over the cells. Paint mode: all layers, then the
    // selected tile (with its block) at the hover cell.
    void EditorDraw(IDirectDrawSurface* target);
    // The palette entry shown over cell in palette view, or -1.
    int PaletteEntryAt(int cell) const;

  private:
    void ReadGridKeys(const char* iniPath);
    // Turns the screen updater's restore reports of every palette tile and block on or off.
    void SetPaletteRegistering(int on);
    // Draws the cells of layer (those with a tile above index 1, or only generators when
    // generatorsOnly) onto target, with their blocks.
    void DrawLayerCells(IDirectDrawSurface* target, int layer, bool generatorsOnly);
    // Creates surface (width x height) when missing, then fills it blue, keyed blue.
    void PrepareFieldSurface(IDirectDrawSurface*& surface) const;
    void BuildLists();
    void ApplyLevel(const LevelFileData& level);
};

// The one grid of the program; NULL until the first level start.
extern TileGrid* g_tileGrid;

// When the grid exists, restores the playfield of the screen updater's background (x from 110 to its
// right edge) from the clean copy; else CreateGrid(".\\setup.ini").
void ReloadGrid();
// Creates g_tileGrid from iniPath (replacing an old one): the grid, its checkerboard, layers and palette.
void CreateGrid(const char* iniPath);
// Deletes g_tileGrid (and the balls of g_ballSet built on it, which point into it).
void DeleteGrid();
