// The software mouse cursor and the framework's view of the mouse. The cursor image is drawn onto the
// back buffer just before each flip with the pixels under it saved, and put back right after the flip
// (Page::Present); with page flipping there is one save per buffer. The position comes from the window
// procedure (WM_MOUSEMOVE); the buttons and press counts from PollButtons, which the clock's timer thread
// calls every 10 ms. One global instance (g_mouseCursor).
#pragma once

#include <atomic>

#include "host/ddraw/ddraw.h"
#include "quib/ptrarray.h"

class Image;

class MouseCursor {
  public:
    Image* currentImage = nullptr;            // the picture drawn, or none
    PtrArray<Image>* images = nullptr;        // owned
    IDirectDrawSurface* saveSurfaces[2] = {}; // what the cursor covered, one per buffer
    int saveIndex = 0;
    int savedX[2] = {-1, -1}; // where each save was taken; -1: nothing saved
    int savedY[2] = {-1, -1};
    int width = 0; // the cursor image's size
    int height = 0;
    int visible = 0;
    int flipMode = 0; // 1 with page flipping
    int mouseX = 0;
    int mouseY = 0;
    // Shared with the timer thread: the last polled button bits (1 left, 2 right) and the press edges
    // not yet consumed by GetState.
    std::atomic<int> buttons{0};
    std::atomic<int> leftPresses{0};
    std::atomic<int> rightPresses{0};
    int areaX = 0; // stored settings; nothing reads them
    int areaY = 0;
    int areaW = 0;
    int areaH = 0;
    int fullScreen = 0;
    std::atomic<int> polling{1}; // PollButtons reads the mouse only while set

    MouseCursor();
    ~MouseCursor();
    MouseCursor(const MouseCursor&) = delete;
    MouseCursor& operator=(const MouseCursor&) = delete;

    // With a file: loads it as the cursor image (keyed black), appends it, takes its size and makes the
    // two save surfaces of that size. Always: hidden, no flip mode, nothing saved.
    void SetImage(const char* file);
    // Appends another image (keyed black) from file.
    void AddImage(const char* file);
    // Makes image i current; an index outside the list leaves no image (nothing is drawn).
    void SelectImage(int i);
    void Show();
    void Hide();
    // Page flipping on or off (the low byte of flag).
    void SetFlipMode(int flag);
    void SetArea(int x, int y, int w, int h);
    void SetFullScreen(int flag);
    // Forgets both saves.
    void ForgetSaved();
    // Deletes the images and releases the save surfaces (also by the destructor). Safe to call again.
    void Release();

    void SetPosition(int x, int y);
    int GetX() const;
    int GetY() const;
    void SetX(int x);
    void SetY(int y);

    // Hands out the position and the button bits (any output may be NULL) and consumes at most one
    // pending press of each button: leftOut/rightOut then receive the presses still pending (they are
    // left untouched when none was pending). Returns the consumed presses as bits (1 left, 2 right).
    int GetState(int* x, int* y, int* buttonsOut, int* leftOut, int* rightOut);
    // Timer thread: reads the engine's mouse buttons and counts press edges.
    void PollButtons();

    // When visible: saves what lies under (x, y) on target, registers the rectangle with the screen
    // updater and draws the cursor there. Always toggles the save index (ToggleSave).
    void DrawAt(IDirectDrawSurface* target, int x, int y);
    // DrawAt the mouse position.
    void Draw(IDirectDrawSurface* target);
    // Puts back the save of the current index onto target, if there is one.
    void Restore(IDirectDrawSurface* target);
    // With page flipping alternates the save index, else keeps 0.
    void ToggleSave();

  private:
    void ReleaseSaveSurfaces();
    static int ConsumePress(std::atomic<int>& presses, int* out);
};

extern MouseCursor g_mouseCursor;
