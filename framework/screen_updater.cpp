#include "framework/screen_updater.h"

#include "framework/image.h"
#include "framework/surface_helpers.h"
#include "quib/quib.h"

ScreenUpdater g_screenUpdater;

ScreenUpdater::~ScreenUpdater() {
    lists[0].DeleteAll();
    lists[1].DeleteAll();
}

void ScreenUpdater::SetDoubleBuffered(int flag) {
    // The program's start-up enters its first page before it turns page flipping on; what that page
    // queued went to one list only and would repair only one of the two buffers.
    if (flag && !doubleBuffered) {
        PtrArray<UpdateRect>& from = lists[index];
        for (int i = 0; i < from.count; i++)
            lists[1 - index].Add(new UpdateRect(*from.items[i]));
    }
    doubleBuffered = flag;
}

void ScreenUpdater::SetBackground(IDirectDrawSurface* surface) {
    PurgeOneShot();
    background = surface;
}

void ScreenUpdater::SetCleanBackground(IDirectDrawSurface* surface) {
    cleanBackground = surface;
}

IDirectDrawSurface* ScreenUpdater::GetBackground() const {
    return background;
}

IDirectDrawSurface* ScreenUpdater::GetCleanBackground() const {
    return cleanBackground;
}

IDirectDrawSurface* ScreenUpdater::GetBackBuffer() const {
    IDirectDrawSurface* back = nullptr;
    QuibGetDDInfo(nullptr, &back);
    return back;
}

void ScreenUpdater::Queue(UpdateRect* entry) {
    if (!entry) return;
    entry->source = background;
    entry->cleanSource = cleanBackground;
    if (!(entry->flags & kUpdateBothLists) && !doubleBuffered) {
        lists[index].Add(entry);
        return;
    }
    lists[0].Add(entry);
    lists[1].Add(new UpdateRect(*entry));
}

void ScreenUpdater::AddRect(int x, int y, int w, int h, int flagsA, int flagsB) {
    UpdateRect* entry = new UpdateRect;
    entry->x = x;
    entry->y = y;
    entry->w = w;
    entry->h = h;
    entry->flags = flagsA | flagsB;
    Queue(entry);
}

void ScreenUpdater::AddBounds(const RECT& rect, int flagsA, int flagsB) {
    AddRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, flagsA, flagsB);
}

void ScreenUpdater::ToggleList() {
    if (doubleBuffered) index = 1 - index;
}

void ScreenUpdater::CopySame(IDirectDrawSurface* from, IDirectDrawSurface* to, int x, int y, int w, int h) {
    if (!from || !to) return;
    BltClipped(from, x, y, w, h, to, x, y, kBltWaitKeySrc);
}

void ScreenUpdater::ReplayEntry(const UpdateRect& entry, IDirectDrawSurface* target) {
    if (entry.flags & kUpdateRestore) {
        if (entry.source == background) CopySame(background, target, entry.x, entry.y, entry.w, entry.h);
    } else if (entry.flags & kUpdateRepairAndRestore) {
        if (entry.cleanSource == cleanBackground)
            CopySame(cleanBackground, background, entry.x, entry.y, entry.w, entry.h);
        if (entry.source == background) CopySame(background, target, entry.x, entry.y, entry.w, entry.h);
    }
}

void ScreenUpdater::Replay(IDirectDrawSurface* target) {
    PtrArray<UpdateRect>& list = lists[index];
    for (int i = 0; i < list.count; i++)
        ReplayEntry(*list.items[i], target);
    DropOneShot(list);
}

void ScreenUpdater::DropOneShot(PtrArray<UpdateRect>& list) {
    for (list.cursor = 0; list.cursor < list.count; list.cursor++) {
        UpdateRect* entry = list.items[list.cursor];
        if (entry->flags & kUpdateOneShot) {
            list.Remove(entry);
            delete entry;
        }
    }
}

void ScreenUpdater::PurgeOneShot() {
    DropOneShot(lists[0]);
    DropOneShot(lists[1]);
}

void ScreenUpdater::QueueFullScreen() {
    int w, h;
    GetSurfaceSize(background, &w, &h);
    AddRect(0, 0, w, h, kUpdateOneShot, kUpdateRestore);
}

void ScreenUpdater::ResetBackground() {
    int w, h;
    GetSurfaceSize(cleanBackground, &w, &h);
    CopySame(cleanBackground, background, 0, 0, w, h);
    AddRect(0, 0, w, h, kUpdateOneShot, kUpdateRestore);
}

void ScreenUpdater::RestoreRect(int x, int y, int w, int h) {
    CopySame(cleanBackground, background, x, y, w, h);
    AddRect(x, y, w, h, kUpdateOneShot, kUpdateRestore);
}

void ScreenUpdater::RestoreRect(const RECT& bounds) {
    RestoreRect(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

void ScreenUpdater::RestoreRect(const Image* image) {
    if (image) RestoreRect(image->x, image->y, image->width, image->height);
}

void ScreenUpdater::CopyCleanToBackBuffer() {
    int w, h;
    GetSurfaceSize(cleanBackground, &w, &h);
    CopySame(cleanBackground, GetBackBuffer(), 0, 0, w, h);
}

void ScreenUpdater::CopyCleanRectToBackBuffer(int x, int y, int w, int h) {
    CopySame(cleanBackground, GetBackBuffer(), x, y, w, h);
}

void ScreenUpdater::CopyImagePartToBackground(const Image* image) {
    if (image) CopyImagePartToBackground(image, image->x, image->y);
}

void ScreenUpdater::CopyImagePartToBackground(const Image* image, int x, int y) {
    if (!image) return;
    CopySame(image->surface, background, x, y, image->width, image->height);
    AddRect(x, y, image->width, image->height, kUpdateOneShot, kUpdateRestore);
}
