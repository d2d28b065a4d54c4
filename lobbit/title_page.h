// The title page "title": the chosen game's front page. While it is shown the current folder is the
// game's folder (its files are plain relative names, the menu's are under ".."). It shows the game's
// title background, the buttons for playing, going back to the grid, the credits, how to play, the hall
// of fame, the player editor and exit, the sound-effects and music toggles, and the eight players'
// names, one of them the current player. Play starts the game with the menu folder as its command line
// and ends the menu.
#pragma once

#include "framework/page.h"
#include "framework/playerlist.h"

class BitmapFont;
class TextField;
struct GameEntry;

// The players of the game collection, kept in the menu folder's options.ini.
extern PlayerList g_playerList;

class TitlePage : public Page {
  public:
    static constexpr int kFieldCount = kPlayerCount;

    TitlePage();
    ~TitlePage() override;

    // The game the page shows; set before the page is entered.
    void SetGame(GameEntry* entry);
    GameEntry* GetGame() const;

    // Changes into the game's folder and loads the page (background, buttons, switches from
    // ..\options.ini, fonts, the eight players' fields).
    void Enter(IDirectDraw* dd, IDirectDrawSurface* back) override;
    // The base Leave, then the fields and fonts go. Safe to call again.
    void Leave() override;
    // The page's clicks: 7 ends the program (Play, Exit, or a popup that ended with the program); else
    // 1, or Present's result.
    int Frame(int active) override;
    // Draws the controls, then shows the frame.
    int Present() override;

    int GetCurrentPlayer() const { return currentPlayer_; }
    const TextField* GetField(int i) const;

  private:
    void CreateControls();
    void CreateFields();
    void ReadSwitch(const char* buttonName, const char* key, int& value);
    void FlipSwitch(const char* buttonName, const char* key, int& value);
    void ShowPlayerNames();
    void HandleFieldClicks(int x, int y, int buttons);
    void DrawFields();
    // Each returns 0 when the popup's run ended with the program.
    int RunPicturePopup(const char* image);
    int RunHallOfFame();
    int RunPlayerEditor();
    // Starts the game; false (after a message box, the page staying) when it cannot be started.
    bool LaunchGame();
    void FreeMembers();

    GameEntry* game_ = nullptr;
    BitmapFont* fonts_[2] = {};
    TextField* fields_[kFieldCount] = {};
    int currentPlayer_ = 0;
    int sfx_ = 1;
    int music_ = 1;
    int previousButtons_ = 0;
};

extern TitlePage g_titlePage;
