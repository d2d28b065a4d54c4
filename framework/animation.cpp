#include "framework/animation.h"

#include <cstdio>

#include "framework/game_clock.h"
#include "framework/screen_updater.h"
#include "framework/surface_helpers.h"
#include "host/win/messagebox.h"
#include "quib/quib.h"

namespace {

// Reports a drawn rectangle for a one-shot restore from the background after the flip.
void RegisterDrawn(int left, int top, int right, int bottom) {
    RECT drawn{left, top, right, bottom};
    g_screenUpdater.AddBounds(drawn, 1, 0x1000);
}

} // namespace

Animation::Animation() : frames(new PtrArray<IDirectDrawSurface>) {}

Animation::Animation(const Animation& source) : frames(new PtrArray<IDirectDrawSurface>) {
    if (source.frames) {
        for (int i = 0; i < source.frames->GetCount(); ++i)
            AddFrame(source.frames->GetAt(i));
    }
    x = source.x;
    y = source.y;
    vx = source.vx;
    vy = source.vy;
    frameWidth = source.frameWidth;
    frameHeight = source.frameHeight;
    step = source.step;
    current = source.current;
    sizeChanged = source.sizeChanged;
    centered = source.centered;
    delay = source.delay;
    time = source.time;
    first = source.first;
    end = source.end;
    restoreFirst = source.restoreFirst;
    registerRect = source.registerRect;
    loop = source.loop;
    updating = source.updating;
    endMode = source.endMode;
    playing = source.playing;
    visible = source.visible;
    SetName(source.name);
    shared = 1;
}

Animation::~Animation() {
    if (!frames) return;
    if (!shared) {
        for (int i = 0; i < frames->GetCount(); ++i)
            if (IDirectDrawSurface* surface = frames->GetAt(i)) surface->Release();
    }
    delete frames;
}

IDirectDrawSurface* Animation::CurrentSurface() const {
    return frames ? frames->Lookup(current) : nullptr;
}

void Animation::SetPosition(int newX, int newY) {
    x = float(newX);
    y = float(newY);
}

void Animation::DrawToBackground() {
    DrawTo(g_screenUpdater.GetBackground());
}

void Animation::DrawPart(int sx, int sy, int w, int h, IDirectDrawSurface* target, int dx, int dy) {
    if (restoreFirst) g_screenUpdater.RestoreRect(dx, dy, w, h);
    IDirectDrawSurface* surface = CurrentSurface();
    if (!surface) return;
    if (visible) BltClipped(surface, sx, sy, w, h, target, dx, dy, kBltWaitKeySrc);
    if (registerRect) RegisterDrawn(dx, dy, dx + w, dy + h);
}

void Animation::DrawTo(IDirectDrawSurface* target) {
    if (restoreFirst) g_screenUpdater.RestoreRect(int(x), int(y), frameWidth, frameHeight);
    IDirectDrawSurface* surface = CurrentSurface();
    if (!surface) return;
    // Integer halves, then the float difference truncated toward zero.
    int px = centered ? int(x - float(frameWidth / 2)) : int(x);
    int py = centered ? int(y - float(frameHeight / 2)) : int(y);
    if (visible) DrawSurfaceAt(surface, target, px, py, kBltWaitKeySrc);
    if (registerRect) RegisterDrawn(px, py, px + frameWidth, py + frameHeight);
}

void Animation::Move() {
    x += vx;
    y += vy;
}

void Animation::SetRect(int rx, int ry, int w, int h) {
    rect = {rx, ry, w, h};
}

void Animation::SetFrame(int i) {
    if (frames && i >= 0 && i < frames->GetCount()) current = i;
}

void Animation::SetVisible(int on) {
    visible = on;
}

void Animation::SetDelay(int ms) {
    delay = ms;
}

void Animation::SetColorKey(int r, int g, int b) {
    if (!frames) return;
    for (int i = 0; i < frames->GetCount(); ++i)
        ::SetColorKey(frames->GetAt(i), r, g, b);
}

int Animation::Step() {
    int now = GetClockMs();
    if (time >= now) return 0;
    int count = frames ? frames->GetCount() : 0;
    int next = current + step;
    if (next >= 0 && next < count)
        current = next;
    else if (loop)
        current = step == 1 ? 0 : count - 1;
    time = now + delay;
    return 1;
}

void Animation::SetCurrentFrame(int i) {
    current = i;
}

int Animation::LoadStrip(const char* file, int n, int vertical) {
    if (!frames || !file || n <= 0) return 0;
    IDirectDrawSurface* strip = QuibLoadBitmap(file, 16);
    if (!strip) return 0;
    int w = 0, h = 0;
    GetSurfaceSize(strip, &w, &h);
    int cellWidth = vertical ? w : w / n;
    int cellHeight = vertical ? h / n : h;
    // More cells than pixels would make empty cells: refused by the cutter, nothing added.
    int before = frames->GetCount();
    CutFrames(strip, frames, cellWidth, cellHeight);
    strip->Release();
    if (frames->GetCount() == before) return 0;
    frameWidth = w;
    frameHeight = h;
    first = 0;
    end = frames->GetCount();
    return end;
}

int Animation::LoadSheet(const char* file, int w, int h) {
    if (!frames || !file) return 0;
    int before = frames->GetCount();
    LoadFrames(file, frames, w, h);
    if (frames->GetCount() == before) return 0;
    frameWidth = w;
    frameHeight = h;
    first = 0;
    end = frames->GetCount();
    return end;
}

void Animation::SetFrameRange(int newFirst, int newEnd) {
    first = newFirst;
    end = newEnd;
}

void Animation::SetName(const char* text) {
    std::snprintf(name, sizeof name, "%s", text ? text : "");
}

void Animation::SetPlaying(int on) {
    playing = on;
}

void Animation::SetEndMode(int mode) {
    endMode = mode;
}

void Animation::SetRegisterRect(int on) {
    registerRect = on;
}

void Animation::ApplyEndMode() {
    // Past the end first, then before the start (a backwards run, or a range that moved).
    if (current >= end) {
        if (endMode == kEndLoop) {
            current = first;
        } else {
            playing = 0;
            current = endMode == kEndStopOnLast ? end - 1 : endMode == kEndStopAndHide ? -1 : first;
        }
    }
    if (current < 0) {
        if (endMode == kEndLoop) {
            current = end - 1;
        } else {
            playing = 0;
            current = endMode == kEndStopAndHide ? -1 : first;
        }
    }
}

void Animation::Update() {
    if (!updating || first == -1) return;
    if (GetElapsedMs(time) <= delay) return;
    time = GetClockMs();
    if (playing == 1) {
        current += step;
        SetFrame(current);
    }
    ApplyEndMode();
}

void Animation::DivideWidth() {
    int count = frames ? frames->GetCount() : 0;
    if (count > 0) frameWidth /= count;
}

void Animation::SetCentered(int on) {
    centered = on;
}

int Animation::AddFrame(IDirectDrawSurface* surface) {
    if (!surface || !frames) return 1;
    ::SetColorKey(surface, 0, 0, 255);
    int w = 0, h = 0;
    GetSurfaceSize(surface, &w, &h);
    SetRect(0, 0, w, h);
    if (!frames->Add(surface)) return 1;
    first = 0;
    end = frames->GetCount();
    if (w != frameWidth || h != frameHeight) sizeChanged = 1;
    frameWidth = w;
    frameHeight = h;
    return 1;
}

int Animation::AddFrameFromFile(const char* file) {
    if (!frames || !file) return 1;
    IDirectDrawSurface* surface = QuibLoadBitmap(file, 16);
    if (!surface) {
        MessageBoxA(nullptr, file, "ERROR: can't find file!", MB_OK);
        return 1;
    }
    AddFrame(surface);
    return 1;
}

int Animation::AddSharedFrame(IDirectDrawSurface* surface) {
    shared = 1;
    return AddFrame(surface);
}

void Animation::Rewind() {
    current = 0;
}

IDirectDrawSurface* Animation::GetFirstFrame() {
    return frames ? frames->Lookup(0) : nullptr;
}
