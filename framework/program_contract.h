// What a program built on the framework supplies, and the program-wide values the framework reads.
//
// The program (the game, the menu, or a test program) provides:
// 1. Start-up, after the engine is up: clear the back buffer, start the sound manager,
//    g_pageManager.SetDirectDraw(directDraw, backBuffer), AddPage for each page, SwitchTo the first page
//    by name, g_screenUpdater.SetDoubleBuffered(fullScreen), StartClock, set up g_mouseCursor, and set
//    g_mainWindow.
// 2. The main loop, each pass: read the frame rate; PumpMessages (1: leave the loop, the program ends);
//    while the window is active: QuibAcquireMouse(1) and g_pageManager.Frame(1) (the game ends on 0, the
//    menu on 7: destroy the main window); while inactive: QuibAcquireMouse(0) only.
// 3. The window procedure: g_pageManager.HandleMessage first (0: the page consumed the message); on
//    WM_MOUSEMOVE g_mouseCursor.SetPosition; on WM_DESTROY g_pageManager.LeaveAll, g_mouseCursor.Release
//    and StopClock before the engine is shut down.
// 4. PumpMessages, below.
#pragma once

#include "host/base/types.h"

// The drawing size every page and popup works in.
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// Supplied by the program, called by name from modal loops (the popup's): takes every waiting message
// with PeekMessage(PM_REMOVE), translating and dispatching each, and returns 0 once the queue is empty;
// on WM_QUIT it posts the quit again with the same exit code (so outer loops see it too) and returns 1
// at once.
int PumpMessages();

// The program's main window; the program sets it when it creates the window. PostWindowMessage posts
// to it.
extern HWND g_mainWindow;
