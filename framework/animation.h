// The framework's sprite: a list of frame surfaces with a floating-point position and velocity, a
// current frame within a frame range, a delay per frame and an end mode. It draws with the source colour
// key and reports the drawn rectangle to the screen updater, which restores it after the flip. The game
// derives its balls, tiles and explosions from it and overrides the drawing and moving operations.
#pragma once

#include "host/ddraw/ddraw.h"
#include "quib/ptrarray.h"

// What Update does when the current frame leaves the frame range.
enum AnimationEndMode {
    kEndStopOnLast = 0,  // stop on the last frame (on the first when running backwards)
    kEndLoop = 1,        // go round within the range
    kEndBackToFirst = 2, // stop back on the first frame
    kEndStopAndHide = 3, // stop with current -1: drawn no more, and the manager drops it
};

constexpr int kAnimationNameSize = 64;

class Animation {
  public:
    // The rectangle SetRect stores (x, y, width, height); the framework does not read it.
    struct Rect {
        int x, y, width, height;
    };

    char name[kAnimationNameSize] = {};
    float x = 0, y = 0;   // top-left, or the centre when centered
    float vx = 0, vy = 0; // added by Move; derived classes set them
    int frameWidth = 0, frameHeight = 0;
    int endMode = kEndStopOnLast;
    int playing = 0; // 1: Update advances the frame
    PtrArray<IDirectDrawSurface>* frames;
    int current = 0;
    int sizeChanged = 0; // an added frame differed in size from the one before
    int centered = 0;
    Rect rect = {0, 0, 0, 0};
    int delay = 0;            // milliseconds per frame
    int step = 1;             // frame increment, may be negative
    int time = 0;             // clock ms: the last advance for Update, the next due time for Step
    int shared = 0;           // 1: the frames belong to another Animation and are not released
    int first = -1, end = -1; // frame range: first and exclusive end
    int restoreFirst = 0;     // restore the background under the position before drawing
    int registerRect = 1;     // report the drawn rectangle to the screen updater
    int loop = 0;             // Step wraps round
    int updating = 1;         // 0: Update does nothing
    int visible = 1;          // 0: drawing blits nothing (the rectangle is still reported)

    Animation();
    // A copy that shares the source's frame surfaces (the source must outlive it) and copies its
    // position, velocity, sizes, range, timing, switches and name.
    Animation(const Animation& source);
    Animation& operator=(const Animation&) = delete;
    // Releases the frame surfaces unless shared.
    virtual ~Animation();

    // x, y = the point.
    virtual void SetPosition(int newX, int newY);
    // DrawTo onto the screen updater's background.
    virtual void DrawToBackground();
    // Draws the part (sx, sy, w, h) of the current frame at (dx, dy), clipped to the target.
    virtual void DrawPart(int sx, int sy, int w, int h, IDirectDrawSurface* target, int dx, int dy);
    // Draws the current frame at the position, clipped to the target.
    virtual void DrawTo(IDirectDrawSurface* target);
    // x += vx, y += vy.
    virtual void Move();
    virtual void SetRect(int rx, int ry, int w, int h);
    // current = i when it names a frame, else nothing.
    virtual void SetFrame(int i);
    virtual void SetVisible(int on);
    virtual void SetDelay(int ms);
    // Sets the source colour key of every frame to (r, g, b).
    virtual void SetColorKey(int r, int g, int b);
    // When the clock has passed time: moves current by step (wrapping when loop is set, else staying
    // at the ends), sets time = clock + delay and returns 1; else returns 0.
    virtual int Step();
    // current = i, unchecked.
    virtual void SetCurrentFrame(int i);
    // Appends the frames of a strip of n cells (vertical != 0: stacked, else side by side) and sets the
    // frame size to the whole bitmap (a horizontal strip's cell width comes from DivideWidth). Returns
    // the frame count; 0 when the file cannot be loaded, n <= 0, or a cell would be empty.
    virtual int LoadStrip(const char* file, int n, int vertical);
    // Appends the w x h cells of a sheet, row by row; frame size w x h. Returns the frame count; 0 when
    // nothing was cut.
    virtual int LoadSheet(const char* file, int w, int h);
    virtual void SetFrameRange(int newFirst, int newEnd);
    // Copies the name (bounded; NULL gives an empty name).
    virtual void SetName(const char* text);
    virtual void SetPlaying(int on);
    virtual void SetEndMode(int mode);
    virtual void SetRegisterRect(int on);
    // When more than delay ms passed since time: advances current by step (while playing) and applies the
    // end mode when it leaves first .. end - 1.
    virtual void Update();
    // frameWidth = frameWidth / frame count (a horizontal strip's cell width).
    virtual void DivideWidth();
    virtual void SetCentered(int on);

    // Keys the surface blue, sets the rect to its size and appends it; the range becomes the whole list.
    // Returns 1 (also for NULL, which adds nothing).
    int AddFrame(IDirectDrawSurface* surface);
    // Loads the file as a 16-bit surface and adds it; a file that cannot be loaded shows a message box
    // with the file name captioned "ERROR: can't find file!" and adds nothing. Returns 1.
    int AddFrameFromFile(const char* file);
    // Marks the frames shared (none will be released), then adds the surface.
    int AddSharedFrame(IDirectDrawSurface* surface);
    // current = 0.
    void Rewind();
    // The surface of frame 0, or NULL without frames.
    IDirectDrawSurface* GetFirstFrame();

  private:
    // The current frame's surface, or NULL when current names no frame.
    IDirectDrawSurface* CurrentSurface() const;
    // Applies the end mode after current left the range; true when current was moved.
    void ApplyEndMode();
};
