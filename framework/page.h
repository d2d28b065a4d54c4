// Page: one full-window screen of a program, with a name, its images and its controls, and virtual
// handlers for entering, leaving, window messages, the frame's work and presenting the frame. Pages are
// registered with the global PageManager, which switches between them by name. A page can be entered,
// left and entered again: Enter recreates what Leave deleted.
//
// Inside Page and its derived classes the name Frame means the per-frame operation; the engine's class
// of the same name is ::Frame there.
#pragma once

#include "host/base/types.h"
#include "host/ddraw/ddraw.h"
#include "quib/ptrarray.h"

class Button;
class ControlList;
class Image;

// Size of Page::name, terminator included.
constexpr int kPageNameSize = 256;

class Page {
  public:
    char name[kPageNameSize] = {};            // a Popup keeps its result text here
    IDirectDraw* directDraw = nullptr;        // given by Enter
    IDirectDrawSurface* backBuffer = nullptr; // given by Enter
    ControlList* controls = nullptr;          // owned; recreated by Init after Leave
    PtrArray<Image>* images = nullptr;        // owned with the images; recreated by Init after Leave
    Image* backgroundImage = nullptr;         // free for derived pages; the base never touches them
    Image* cleanBackgroundImage = nullptr;
    Page* presentOverride = nullptr; // when set, Present goes through that page

    Page();
    explicit Page(const char* pageName);
    // Page::Leave (the base one): what is still held is freed.
    virtual ~Page();
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // Creates the image list and the control list when missing.
    virtual void Init();
    // Stores the DirectDraw object and the back buffer, then Init.
    virtual void Enter(IDirectDraw* dd, IDirectDrawSurface* back);
    // Deletes the control list with its controls and the image list with its images. Safe to call
    // again and on a page never entered.
    virtual void Leave();
    // A window message, before the program's own handling. 1: not consumed (the base); 0: consumed.
    virtual int HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // The frame's work; the base returns 1. A derived page returns its program's stop value to end.
    virtual int Frame(int active);
    // Copies text (truncated to 255 characters; NULL empties the name).
    virtual void SetName(const char* text);
    virtual const char* GetName();
    // Loads an image from file and appends it; NULL (nothing appended) when it gives no surface.
    virtual Image* AddImage(const char* file);
    // Deletes every image and the list. Safe without a list.
    virtual void FreeImages();
    // Takes entry index out of the image list without deleting it.
    virtual void RemoveImage(int index);
    // The screen updater's background and clean copy.
    virtual void SetBackground(IDirectDrawSurface* surface);
    virtual void SetCleanBackground(IDirectDrawSurface* surface);
    // Loads the images a page-images INI file lists (section "images", keys "image01", "image02", ...
    // naming sections with "file", "x" and "y"); an image whose bitmap fails to load is kept without a
    // surface. Returns 0.
    virtual int LoadImages(const char* iniPath);
    // The first image named name (exact compare), or NULL.
    virtual Image* FindImage(const char* name);
    // Draws the image named name at (x, y) on target: 1, or 0 when there is no such image.
    virtual int DrawImageAt(IDirectDrawSurface* target, const char* name, int x, int y);
    // The same at the image's own position.
    virtual int DrawImage(IDirectDrawSurface* target, const char* name);
    // Shows the frame: through the override when set; else cursor drawn, flip, cursor put back, and the
    // screen updater repairs the new back buffer. Returns the flip's result (1, or 0 on failure).
    virtual int Present();
    virtual void SetPresentOverride(Page* page);
    // Gives control the control list's origin as its offset and appends it (the list owns it).
    virtual Button* AddControl(Button* control);

  private:
    void LoadListedImage(const char* section, const char* iniPath);
};
