// The start page "Lobbit": every subfolder of the current (menu) folder that holds a LobbitButton.bmp is
// a game; their pictures fill a grid of 3 x 4 buttons a page, with page arrows, the page number, an
// information screen, an exit button, and a "collect" button after the last game that opens the maker's
// web site. Choosing a game hands it to the title page.
#pragma once

#include <string>
#include <vector>

#include "framework/page.h"
#include "host/win/folders.h"

class Animation;

// One game: its folder (whole machine path, never cut), the program started for it ("<folder>.exe",
// found by the host in that folder), its name (the folder's) and its grid picture.
struct GameEntry {
    std::string path;
    std::string exe;
    std::string name;
    Animation* button = nullptr; // owned

    GameEntry() = default;
    ~GameEntry();
    GameEntry(const GameEntry&) = delete;
    GameEntry& operator=(const GameEntry&) = delete;
};

// Grid slots a page.
constexpr int kGridSlots = 12;

class GameMenuPage : public Page {
  public:
    GameMenuPage();
    ~GameMenuPage() override;

    // Loads the background, the controls, the page-number digits, finds the games and places the
    // collect button after the last one.
    void Enter(IDirectDraw* dd, IDirectDrawSurface* back) override;
    // The base Leave, then the digits and the collect picture go. Safe to call again.
    void Leave() override;
    // Does nothing; returns 1.
    int HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The page's clicks: 7 ends the program; else 1, or Present's result when no grid button was hit.
    int Frame(int active) override;
    // Draws the page number, the games of this page and the collect picture onto the background,
    // enables exactly the slots that hold something, draws the controls and shows the frame.
    int Present() override;

    // Rescans the current folder (the old list is freed first). Returns the game count.
    int FindGames();
    // Hands game i to the title page and switches to it; nothing for an index outside the list.
    void SelectGame(int i);
    // Opens the title page of the game named by text: the one whose program is text + ".exe" or whose
    // folder is text, else the last one whose program name begins with text (case-sensitive). One game
    // is chosen and entered once, so the title page, its hall of fame and Play all belong to it.
    void SelectByCommandLine(const char* text);

    int GetGameCount() const { return static_cast<int>(games_.size()); }
    int GetPageIndex() const { return pageIndex_; }
    const GameEntry* GetGame(int i) const;

  private:
    void CreateControls();
    void FreeGames();
    // Enables the slots of the current page that show a game or the collect button, disables the rest.
    void UpdateSlots();
    void RunInfoPopup(int& result);
    void OpenMakerSite();

    int pageIndex_ = 0;
    std::vector<GameEntry*> games_; // in folder-name order
    Animation* digits_ = nullptr;
    Animation* collect_ = nullptr;
};

extern GameMenuPage g_gameMenuPage;

// A folder search that keeps its first result pending: DirScanFirst starts it (closing one still open)
// and remembers the pattern's folder; DirScanNext hands out the pending result once, then the following
// ones, writing folder + name into out when given. NULL when nothing (more) is found.
WIN32_FIND_DATAA* DirScanFirst(const char* pattern);
WIN32_FIND_DATAA* DirScanNext(std::string* out);

// Draws text right-aligned to rightX at y with the digit strip digits (frame n = digit n, ten frames):
// every character takes one cell, digits are drawn, others leave their cell empty.
void DrawNumber(Animation* digits, int rightX, int y, const char* text, IDirectDrawSurface* target);
