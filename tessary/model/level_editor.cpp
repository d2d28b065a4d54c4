// The level editor: mouse input and drawing on the tile grid, and the window commands.
#include "tessary/model/level_editor.h"

#include <cstdio>
#include <string>

#include "host/win/folders.h"
#include "host/win/messagebox.h"
#include "tessary/model/tile_grid.h"

namespace {

constexpr int kButtonLeft = 1;
constexpr int kButtonRight = 2;
constexpr DWORD kFolderBufferSize = 4096;

// The current folder, put back when the guard ends (a chooser may move it).
class FolderGuard {
  public:
    FolderGuard() { saved_ = GetCurrentDirectoryA(kFolderBufferSize, folder_) > 0; }
    ~FolderGuard() { Restore(); }
    void Restore() {
        if (saved_) SetCurrentDirectoryA(folder_);
    }

  private:
    char folder_[kFolderBufferSize] = {};
    bool saved_ = false;
};

// Asks the chooser for a path under title; false when cancelled or no chooser is given.
bool ChooseFile(const EditorCommandHooks& hooks, const char* title, char (&path)[kLevelPathSize]) {
    std::snprintf(path, sizeof path, "*.lev");
    if (!hooks.chooseLevelFile || !hooks.chooseLevelFile(path, title)) return false;
    path[sizeof path - 1] = '\0';
    return true;
}

void StartLevel(const EditorCommandHooks& hooks, bool levelLoaded) {
    if (hooks.startLevel) hooks.startLevel(levelLoaded);
}

void SaveLevelCommand(const EditorCommandHooks& hooks) {
    FolderGuard folder;
    char path[kLevelPathSize];
    if (ChooseFile(hooks, "Save Level", path)) g_tileGrid->SaveLevel(path);
}

void LoadLevelCommand(const EditorCommandHooks& hooks) {
    char path[kLevelPathSize];
    {
        FolderGuard folder;
        if (!ChooseFile(hooks, "Load Level", path)) return;
    }
    if (!g_tileGrid->LoadLevel(path)) {
        MessageBoxA(nullptr, g_tileGrid->levelError.c_str(), "Can't load file...", MB_OK);
        return;
    }
    ReloadGrid();
    StartLevel(hooks, true);
    if (g_tileGrid) g_tileGrid->SetEditMode(kEditPlay);
}

} // namespace

int TileGrid::PaletteEntryAt(int cell) const {
    if (cell < 0 || columns <= 0 || paletteColumns <= 0) return -1;
    const int column = cell % columns;
    const int row = cell / columns;
    const int fullRows = palette.count / paletteColumns;
    const int remainder = palette.count % paletteColumns;
    if (column >= paletteColumns || row > fullRows || (row == fullRows && column >= remainder)) return -1;
    return row * paletteColumns + column;
}

void TileGrid::EditorInput(int x, int y, int buttons) {
    const bool newPress = previousButtons == 0;
    if (newPress && (buttons & kButtonRight)) editMode = editMode == kEditPalette ? kEditPaint : kEditPalette;
    const bool leftPress = newPress && (buttons & kButtonLeft);
    const int cell = CellAt(x, y);
    if (editMode == kEditPalette) {
        // Picking only picks: the cell under the palette entry is not painted by the same click. A click
        // outside the grid does nothing.
        if (leftPress && cell >= 0) {
            const int entry = PaletteEntryAt(cell);
            selectedTile = entry >= 0 ? entry : 0;
            editMode = kEditPaint;
        }
    } else if (editMode == kEditPaint) {
        if (leftPress && cell >= 0) {
            SetCell(selectedTile, cell);
        } else {
            hoverCell = cell;
        }
    }
    previousButtons = buttons;
}

void TileGrid::EditorDraw(IDirectDrawSurface* target) {
    if (editMode == kEditPalette) {
        DrawAllLayers(target);
        for (int cell = 0; cell < CellCount(); ++cell) {
            const int entry = PaletteEntryAt(cell);
            if (entry >= 0) DrawCell(target, palette.items[entry], cell, 0);
        }
    } else if (editMode == kEditPaint) {
        DrawAllLayers(target);
        if (hoverCell >= 0 && hoverCell < CellCount() && selectedTile >= 0 && selectedTile < palette.count)
            DrawCell(target, palette.items[selectedTile], hoverCell, 1);
    }
}

int HandleEditorCommand(int id, const EditorCommandHooks& hooks) {
    if (!g_tileGrid || id < kCommandPaletteView || id > kCommandReloadPaint) return 0;
    switch (id) {
    case kCommandPaletteView: g_tileGrid->SetEditMode(kEditPalette); break;
    case kCommandSaveLevel: SaveLevelCommand(hooks); break;
    case kCommandPlayEdited:
        g_tileGrid->Rebuild();
        g_tileGrid->SetEditMode(kEditPlay);
        StartLevel(hooks, false);
        break;
    case kCommandLoadLevel: LoadLevelCommand(hooks); break;
    case kCommandReloadPaint:
        ReloadGrid();
        g_tileGrid->SetEditMode(kEditPaint);
        StartLevel(hooks, false);
        break;
    default: break; // 40005-40007: nothing
    }
    return 1;
}
