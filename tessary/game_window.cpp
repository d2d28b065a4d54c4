// The game's window procedure: activation, Esc, the music loop, the level editor's commands and keys,
// moving and maximising, and the shutdown when the window goes.
#include <cstring>
#include <string>

#include "framework/game_clock.h"
#include "framework/mouse_cursor.h"
#include "framework/page_manager.h"
#include "framework/program_window.h"
#include "host/mm/mci.h"
#include "host/win/keystate.h"
#include "host/win/messages.h"
#include "quib/quib.h"
#include "tessary/game_program.h"
#include "tessary/model/level_editor.h"
#include "tessary/model/tile_grid.h"
#include "tessary/puzzle_game.h"

namespace {

// The level editor's commands 40001-40008 are offered on the keys F2-F9, in that order.
constexpr WPARAM kFirstEditorKey = VK_F2;
constexpr WPARAM kLastEditorKey = VK_F9;
constexpr int kFirstEditorCommand = kCommandPaletteView;

// The file last chosen for Load Level: the level the editor then plays.
std::string g_chosenLevelFile;

// The chooser, with one more guard: the window may have been closed while the chooser was up, and then
// there is no grid left to save or load.
int ChooseForEditor(char* buffer, const char* title) {
    const int chosen = ChooseLevelFile(buffer, title);
    if (!chosen || !IsWindow(hwnd) || !g_tileGrid) return 0;
    g_chosenLevelFile.assign(buffer, strnlen(buffer, kLevelPathSize));
    return chosen;
}

void StartLevelForEditor(bool levelLoaded) {
    if (levelLoaded) {
        g_puzzleGame.PlayLevelFile(g_chosenLevelFile.c_str());
    } else {
        g_puzzleGame.ForgetLevelFile();
        g_puzzleGame.StartLevel();
    }
}

void RunEditorCommand(int id) {
    EditorCommandHooks hooks;
    hooks.chooseLevelFile = ChooseForEditor;
    hooks.startLevel = StartLevelForEditor;
    HandleEditorCommand(id, hooks);
}

// An editor key pressed (not a repeat): its command, posted as the window command it stands for.
void OnKeyDown(HWND window, WPARAM key, LPARAM lParam) {
    if (key < kFirstEditorKey || key > kLastEditorKey || (lParam & HOST_KEY_WAS_DOWN)) return;
    const int command = kFirstEditorCommand + static_cast<int>(key - kFirstEditorKey);
    PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

// The music reached its end: start it again. Other notices (a failure, an abort) end the music, or a
// file that fails while playing would be restarted for ever.
void OnMusicNotice(WPARAM code) {
    if (code != MCI_NOTIFY_SUCCESSFUL) return;
    mciSendStringA("close music", nullptr, 0, nullptr);
    mciSendStringA("open .\\sounds\\music.mp3 alias music", nullptr, 0, nullptr);
    mciSendStringA("play music notify", nullptr, 0, hwnd);
}

void ShutDown() {
    mciSendStringA("close music", nullptr, 0, nullptr);
    g_pageManager.LeaveAll();
    g_mouseCursor.Release();
    g_puzzleGame.EndGame();
    StopClock();
    QuibAcquireMouse(0);
    QuibFreeDirectX();
    PostQuitMessage(0);
}

} // namespace

LRESULT GameWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_pageManager.HandleMessage(window, msg, wParam, lParam) == 0) return 0;
    switch (msg) {
    case WM_MOUSEMOVE:
        if (active)
            g_mouseCursor.SetPosition(GET_X_LPARAM(lParam) - cursorOffsetX,
                                      GET_Y_LPARAM(lParam) - cursorOffsetY);
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_KEYMENU) return 0;
        break;
    case MM_MCINOTIFY: OnMusicNotice(wParam); break;
    case WM_COMMAND: RunEditorCommand(LOWORD(wParam)); break;
    case WM_ACTIVATEAPP: active = wParam != 0; break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            QuibAcquireMouse(0);
            active = 0;
        } else if (LOWORD(wParam) == WA_ACTIVE) {
            QuibAcquireMouse(1);
            active = 1;
        }
        break;
    case WM_KEYDOWN: OnKeyDown(window, wParam, lParam); break;
    case WM_KEYUP:
        if (wParam == VK_ESCAPE) PostMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case WM_CLOSE: DestroyWindow(hwnd); break;
    case WM_MOVE: OnProgramWindowMove(window); break;
    case WM_SIZE: OnProgramWindowSize(wParam, lParam, &cursorOffsetX, &cursorOffsetY); break;
    case WM_DESTROY: ShutDown(); break;
    default: break;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}
