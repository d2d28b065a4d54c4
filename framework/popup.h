// A modal popup: a Page that shows one of its own images at a position, with its own controls, and
// runs its own frame loop until a control is clicked, a close key is pressed or a deadline passes. The
// loop pumps the program's messages (PumpMessages) so the window stays alive, and presents through the
// page behind it (presentOverride) when one is set. The result text (the name of the control that ended
// it, "key", or what SetResult gave) lives in the page's name.
//
// Two operations are named apart from Page's on purpose: FindPopupImage searches the popup's own images
// (Page::FindImage, same signature, still searches the page's image list), and AddImage(file, name) adds
// a popup image beside Page::AddImage(file).
#pragma once

#include "framework/page.h"
#include "host/base/types.h"

class Popup : public Page {
  public:
    PtrArray<Image>* popupImages;  // owned with the images
    Image* currentImage = nullptr; // the one shown
    int done = 0;                  // 1 once the run should end
    RECT rect = {-1, -1, -1, -1};  // where the image is shown; -1 until placed
    int originX = 0, originY = 0;  // the controls' origin: rect's left and top
    int useAsBackground = 1;       // while running, the image is the screen updater's background
    int deadline = 0;              // clock ms after which the popup closes; 0: none
    int closeKey = 0;              // virtual key that closes it; 0: none
    int passThrough = 0;           // also poll the controls of the page behind

    Popup();
    // The popup's Leave, then the page's.
    ~Popup() override;

    // Page's Init, and the popup image list when missing.
    void Init() override;
    // Page's Leave, then deletes the popup images and their list.
    void Leave() override;

    // Places the image with its top-left at (x, y); (-1, -1) centres it in the 800 x 600 screen unless
    // it is already placed (a missing image counts as 0 x 0). The controls follow the top-left.
    virtual void SetPosition(int x, int y);
    // Stores text as the result (when given) and ends the run.
    virtual void SetResult(const char* text);
    // Runs the modal loop with the named popup image (else the first). Returns 1 when the popup ended
    // (the result, at most 255 characters, copied into resultOut when given) or 0 when WM_QUIT arrived.
    virtual int Run(char* resultOut, const char* imageName);
    // Once per pass with the polled mouse: CheckInput's result (0 ends the loop).
    virtual int Poll(int x, int y, int buttons);
    // Ends the run on the close key ("key"), a clicked control (its name, which wins over the key) or
    // the passed deadline (result unchanged). Returns 1.
    virtual int CheckInput();
    // Shows image (when given), centred unless placed.
    virtual void SetImage(Image* image);
    // Shows the popup image named name, else the first, centred unless placed.
    virtual void SelectImage(const char* name);
    virtual Image* GetImage();
    // The popup image named name (exact compare), or NULL.
    virtual Image* FindPopupImage(const char* name);
    using Page::AddImage;
    // Loads an image from file (kept without a surface when the file is missing), names it, appends it
    // to the popup images and shows it. Returns it.
    virtual Image* AddImage(const char* file, const char* imageName);
    virtual void SetUseAsBackground(int flag);
    // A button named "default" at the popup's top-left covering the current image, so a click anywhere
    // on the image ends the run. Returns it.
    virtual Button* AddDefaultButton();
    virtual void SetDeadline(int clockTime);
    virtual void SetCloseKey(int virtualKey);
    virtual void SetPassThrough(int flag);

  private:
    // Makes the current image's surface the screen updater's background for the run (when
    // useAsBackground is set and there is a surface), and puts the earlier one back afterwards.
    void BorrowBackground();
    void ReturnBackground();
    // One pass of the loop after the pump: draw, poll, present. False when Poll ended the loop.
    bool RunPass(int x, int y, int buttons);
    // The page behind's controls, when pass-through: a click there ends the run with its name.
    void PollPageBehind(int x, int y, int buttons);

    IDirectDrawSurface* savedBackground_ = nullptr;
    bool backgroundBorrowed_ = false;
};
