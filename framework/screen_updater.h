// The screen updater: the framework never redraws the whole screen. Everything drawn onto the back
// buffer registers the rectangle it covered, and after each flip those rectangles are copied back from a
// background surface so the next frame starts clean. With page flipping the back buffer after a flip is
// the one of two frames ago, so there are two lists, one per buffer, swapped at each flip. A second
// surface, the clean copy, holds the untouched background from which the background can be repaired.
// One global instance (g_screenUpdater); main thread only.
#pragma once

#include "host/ddraw/ddraw.h"
#include "quib/ptrarray.h"

class Image;

// UpdateRect flags.
constexpr int kUpdateOneShot = 0x0001;          // removed after its replay
constexpr int kUpdateBothLists = 0x0002;        // also queued into the other list
constexpr int kUpdateRestore = 0x1000;          // background -> target
constexpr int kUpdateRepairAndRestore = 0x2000; // clean copy -> background, then background -> target

// One queued rectangle with the surfaces current when it was queued: it replays only while they are
// still the current ones.
struct UpdateRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    int flags = 0;
    int spare = 0; // copied with the entry, unused
    IDirectDrawSurface* source = nullptr;
    IDirectDrawSurface* cleanSource = nullptr;
};

class ScreenUpdater {
  public:
    int index = 0;                                 // the current list, 0 or 1
    PtrArray<UpdateRect> lists[2];                 // owning their entries
    IDirectDrawSurface* background = nullptr;      // restore source (not owned)
    IDirectDrawSurface* cleanBackground = nullptr; // pristine copy (not owned)
    int doubleBuffered = 0;                        // the program's full-screen flag

    ScreenUpdater() = default;
    ~ScreenUpdater();
    ScreenUpdater(const ScreenUpdater&) = delete;
    ScreenUpdater& operator=(const ScreenUpdater&) = delete;

    // Page flipping on (full screen) or off (windowed). Turning it on copies the entries of the current
    // list into the other one, so what was queued before reaches both buffers.
    void SetDoubleBuffered(int flag);
    // Replaces the restore source; the one-shot entries of both lists are dropped first.
    void SetBackground(IDirectDrawSurface* surface);
    void SetCleanBackground(IDirectDrawSurface* surface);
    IDirectDrawSurface* GetBackground() const;
    IDirectDrawSurface* GetCleanBackground() const;
    // The engine's back buffer (NULL before the display starts).
    IDirectDrawSurface* GetBackBuffer() const;

    // Takes ownership of entry, stamps it with the current surfaces and appends it: to the current list
    // only when windowed and not kUpdateBothLists, else to list 0 with a copy in list 1.
    void Queue(UpdateRect* entry);
    // Queues a new entry (x, y, w, h) with flags flagsA | flagsB.
    void AddRect(int x, int y, int w, int h, int flagsA, int flagsB);
    // The same with a rectangle given as left, top, right, bottom. Drawn sprites, buttons and the cursor
    // use AddBounds(rect, kUpdateOneShot, kUpdateRestore).
    void AddBounds(const RECT& rect, int flagsA, int flagsB);

    // After each flip: makes the other list current. Only with page flipping: a window's back buffer
    // keeps its content, so its one list must be replayed right after the frame that filled it.
    void ToggleList();
    // Replays the current list onto target (the new back buffer), then drops its one-shot entries.
    void Replay(IDirectDrawSurface* target);
    // Deletes the one-shot entries of both lists.
    void PurgeOneShot();

    // Queues a one-shot restore of the whole background (nothing is copied now).
    void QueueFullScreen();
    // Copies the whole clean copy onto the background and queues its one-shot restore.
    void ResetBackground();
    // Copies the rectangle from the clean copy onto the background and queues its one-shot restore.
    void RestoreRect(int x, int y, int w, int h);
    // The same for a rectangle given as left, top, right, bottom (a popup's rectangle).
    void RestoreRect(const RECT& bounds);
    // The same for an image's rectangle (its x, y, width, height).
    void RestoreRect(const Image* image);

    // Copies the whole clean copy, or a rectangle of it, straight onto the back buffer.
    void CopyCleanToBackBuffer();
    void CopyCleanRectToBackBuffer(int x, int y, int w, int h);
    // Copies the part of the image's own surface under the image's rectangle (at its x, y, or at the
    // given point) into the background at the same place, then queues its one-shot restore.
    void CopyImagePartToBackground(const Image* image);
    void CopyImagePartToBackground(const Image* image, int x, int y);

  private:
    // Moves a copy of from's rectangle to the same place on to, keyed; nothing when either is missing.
    static void CopySame(IDirectDrawSurface* from, IDirectDrawSurface* to, int x, int y, int w, int h);
    void DropOneShot(PtrArray<UpdateRect>& list);
    void ReplayEntry(const UpdateRect& entry, IDirectDrawSurface* target);
};

extern ScreenUpdater g_screenUpdater;
