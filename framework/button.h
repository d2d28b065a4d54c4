// Button: the framework's one control. It draws one of its state images (normal, hover, pressed, and
// more for toggles), is hit-tested against a rectangle or pixel-exactly against its first image, is fed
// by the polled mouse (HandleMouse, what the pages use) or by window mouse messages (HandleMessage), and
// reports a click that the page reads once per frame.
#pragma once

#include "host/base/types.h"
#include "host/ddraw/ddraw.h"
#include "quib/ptrarray.h"

// Size of Button::name, terminator included.
constexpr int kButtonNameSize = 64;

// Button states.
constexpr int kButtonNormal = 0;
constexpr int kButtonHover = 1;
constexpr int kButtonPressed = 2;

// Click kinds.
constexpr int kClickLeft = 1;
constexpr int kClickRight = 2;

// One state picture: the state number it was added for and its surface (one reference held).
struct StateImage {
    int index = 0;
    IDirectDrawSurface* surface = nullptr;
};

class Button {
  public:
    int x = 0; // draw rectangle (w, h from the last state image added)
    int y = 0;
    int w = 0;
    int h = 0;
    int hitX = 0; // hit rectangle (the draw rectangle until SetHitRect)
    int hitY = 0;
    int hitW = 0;
    int hitH = 0;
    int offsetX = 0; // container origin added to both rectangles
    int offsetY = 0;
    int state = kButtonNormal;
    int frameOffset = 0; // added to the state to choose the frame (blinking)
    PtrArray<StateImage>* stateImages = nullptr;
    int clicked = 0;
    int clickKind = 0;
    char name[kButtonNameSize] = {};
    int enabled = 1;
    int singleFrame = 0;  // always draw frame 0
    int registerRect = 0; // register the drawn rectangle with the screen updater
    int pixelHit = 0;     // hit-test the first state image's pixels (blue is outside)
    int mouseOver = 0;
    int forcedFrame = -1; // drawn instead of the state's frame when not -1

    Button();
    Button(int atX, int atY);
    Button(int atX, int atY, int width, int height);
    // Releases the state surfaces it holds.
    virtual ~Button();
    Button(const Button&) = delete;
    Button& operator=(const Button&) = delete;

    // Keys surface blue, keeps a reference to it as the picture of state i, and takes its size as the
    // draw and hit size. 0 for a NULL surface.
    virtual int AddStateImage(int i, IDirectDrawSurface* surface);
    // Loads file (16-bit) as the picture of state i. 0 when it cannot be loaded.
    virtual int AddStateImageFile(int i, const char* file);
    // Loads file and cuts it into n equal frames (stacked when vertical, side by side otherwise), added
    // as states 0..n-1 only when exactly n frames result. 1 when added; 0 when the file cannot be
    // loaded, n <= 0, or a frame would be empty.
    virtual int LoadStates(const char* file, int n, int vertical);
    // Window mouse message (closed hit rectangle); the right button clicks with kind 2. Returns the state.
    virtual int HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Polled mouse (half-open hit rectangle), buttons bit 1 = left down. Returns the state.
    virtual int HandleMouse(int mx, int my, int buttons);
    // DrawTo target, or the back buffer when target is NULL.
    virtual void Draw(IDirectDrawSurface* target);
    virtual void SetFrameOffset(int n);
    virtual void DrawTo(IDirectDrawSurface* target);
    // When enabled, draws onto the back buffer.
    virtual void DrawIfEnabled();
    virtual int WasClicked();
    // Back to the normal state, redrawn.
    virtual void Reset();
    // Copies text (truncated to 63 characters; NULL empties the name).
    virtual void SetName(const char* text);
    virtual void SetOffset(int ox, int oy);
    virtual void SetEnabled(int flag);
    // With flag: draws into the screen updater's clean copy, then into its background.
    virtual void DrawIntoBackgrounds(int flag);
    // Swaps the pictures of states 0 and 1 (a toggle) and redraws.
    virtual void SwapStateImages();
    virtual void SetSingleFrame(int flag);
    virtual void SetState(int s);
    virtual int GetState();
    virtual void SetHitRect(int hx, int hy, int hw, int hh);
    virtual void SetRegisterRect(int flag);
    virtual void SetPixelHit(int flag);
    virtual int IsMouseOver();
    virtual void SetForcedFrame(int i);
    virtual int GetForcedFrame();

  private:
    int ImageCount() const;
    bool InsideHalfOpen(int mx, int my) const;
    bool InsideClosed(int mx, int my) const;
    // Whether (mx, my) falls on a transparent (blue) pixel of the first state image; a point outside
    // that image, or no image at all, counts as transparent.
    bool OnTransparentPixel(int mx, int my) const;
    // SetState(s), then Draw on the back buffer.
    void ChangeTo(int s);
};
