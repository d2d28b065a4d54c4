// The game's only page, "main": the background, the panel's buttons, the sound effects and the font; its
// frame runs the game. And the popup that tells the player the time ran out.
#pragma once

#include "framework/bitmap_font.h"
#include "framework/page.h"
#include "framework/popup.h"

class MainPage : public Page {
  public:
    BitmapFont* font = nullptr; // "font.bmp"; loaded with the page, not drawn by the game

    MainPage();
    ~MainPage() override;

    // Loads "background.bmp" twice (the screen updater's background and its clean copy), creates the six
    // buttons, registers the nine sound effects and loads the font.
    void Enter(IDirectDraw* dd, IDirectDrawSurface* back) override;
    // Frees the samples, the page's images and controls, and the font.
    void Leave() override;
    // Nothing is consumed: 1.
    int HandleMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The game's frame, then the picture shown. 0 ends the program.
    int Frame(int active) override;
};

extern MainPage g_mainPage;

// The out-of-time notice: before its own input check it draws the balls, so they stay on screen.
class OutOfTimePopup : public Popup {
  public:
    int CheckInput() override;
};
