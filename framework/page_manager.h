// PageManager: the pages of the program and the current one. It hands the current page every window
// message first and calls it once per frame, and switches pages by name. It does not own the pages.
// One global instance (g_pageManager); main thread only.
#pragma once

#include "framework/page.h"
#include "framework/program_contract.h"

class PageManager {
  public:
    PtrArray<Page>* pages = nullptr; // in the order added; not owned
    Page* current = nullptr;
    IDirectDraw* directDraw = nullptr; // passed to every Enter
    IDirectDrawSurface* backBuffer = nullptr;

    PageManager();
    ~PageManager();
    PageManager(const PageManager&) = delete;
    PageManager& operator=(const PageManager&) = delete;

    // Stores what every page's Enter receives; once, after the engine is up.
    void SetDirectDraw(IDirectDraw* dd, IDirectDrawSurface* back);
    void AddPage(Page* page);
    // Makes the first page named name current: the current page is left and the new one entered. A
    // name that is the current page's, or no page's, changes nothing. Returns the current page.
    Page* SwitchTo(const char* name);
    // The current page's Frame(active); 0 without a current page.
    int Frame(int active);
    // The current page's HandleMessage; 1 (not consumed) without a current page.
    int HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Leave on every page, current or not, in the order added.
    void LeaveAll();
};

extern PageManager g_pageManager;

// Posts msg with zero wParam and lParam to the program's main window (g_mainWindow).
void PostWindowMessage(UINT msg);
