// The level editor's file dialog, on the host's common dialogs.
#include <cstring>

#include "host/win/filedialog.h"
#include "tessary/game_program.h"
#include "tessary/model/level_editor.h"

namespace {

// A real (label, pattern) pair: "*.lev" alone would be read as a label without patterns.
constexpr char kLevelFilter[] = "Level files (*.lev)\0*.lev\0";
constexpr const char* kSaveTitle = "Save Level";

} // namespace

int ChooseLevelFile(char* buffer, const char* title) {
    if (!buffer) return 0;
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd;
    dialog.lpstrFilter = kLevelFilter;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = kLevelPathSize;
    dialog.lpstrInitialDir = ".\\";
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = "lev";
    // One file at a time: a list of several names would be opened as one path and fail.
    const bool save = title && std::strcmp(title, kSaveTitle) == 0;
    if (save) {
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        return GetSaveFileNameA(&dialog) ? 1 : 0;
    }
    dialog.Flags = OFN_FILEMUSTEXIST;
    return GetOpenFileNameA(&dialog) ? 1 : 0;
}
