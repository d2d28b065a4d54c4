// The level editor's window commands. The program maps WM_COMMAND identifiers to HandleEditorCommand
// and supplies the two things the editor cannot do itself: the file chooser and the level start.
#pragma once

#include <functional>

// The editor's command identifiers (the low word of WM_COMMAND's wParam).
enum EditorCommand {
    kCommandPaletteView = 40001, // editor mode 1
    kCommandSaveLevel = 40002,   // choose a file, save the grid's level there
    kCommandPlayEdited = 40003,  // rebuild, play mode, start the level (from its numbered file)
    kCommandLoadLevel = 40004,   // choose a file, load it and play it
    kCommandReloadPaint = 40008, // reload, paint mode, start the level
};

// The size of the chooser's path buffer.
constexpr int kLevelPathSize = 256;

struct EditorCommandHooks {
    // The file chooser: fills buffer (kLevelPathSize bytes, pre-filled "*.lev") with the chosen path and
    // returns non-zero, or returns 0 when cancelled. title is "Save Level" or "Load Level".
    std::function<int(char* buffer, const char* title)> chooseLevelFile;
    // The game's level start. levelLoaded true: the grid already holds the level to play (a file the
    // editor loaded), so the start must keep it rather than load the numbered level file over it.
    std::function<void(bool levelLoaded)> startLevel;
};

// Runs editor command id on g_tileGrid. Returns 1 when id is an editor command (40001-40008; 40005-40007
// do nothing) and the grid exists, else 0 and nothing happens.
// - 40002 and 40004 remember the current folder around the chooser and put it back.
// - 40004 loads the chosen file; a file that cannot be loaded changes nothing and shows the box
//   "Can't load file..." with the reason, else the playfield is restored, the level started with the
//   loaded cells and play mode set.
// - 40008 sets paint mode before the level start, which puts the editor back to play mode.
int HandleEditorCommand(int id, const EditorCommandHooks& hooks);
