#include "framework/button.h"

#include <cstdio>

#include "framework/screen_updater.h"
#include "framework/surface_helpers.h"
#include "host/win/messages.h"
#include "quib/quib.h"

Button::Button() : stateImages(new PtrArray<StateImage>) {}

Button::Button(int atX, int atY) : Button() {
    x = hitX = atX;
    y = hitY = atY;
}

Button::Button(int atX, int atY, int width, int height) : Button(atX, atY) {
    w = hitW = width;
    h = hitH = height;
}

Button::~Button() {
    if (!stateImages) return;
    for (int i = 0; i < stateImages->count; i++)
        if (stateImages->items[i]->surface) stateImages->items[i]->surface->Release();
    stateImages->DeleteAll();
    delete stateImages;
}

int Button::ImageCount() const {
    return stateImages ? stateImages->count : 0;
}

int Button::AddStateImage(int i, IDirectDrawSurface* surface) {
    if (!surface) return 0;
    ::SetColorKey(surface, 0, 0, 255);
    surface->AddRef();
    if (!stateImages) stateImages = new PtrArray<StateImage>;
    StateImage* entry = new StateImage;
    entry->index = i;
    entry->surface = surface;
    stateImages->Add(entry);
    GetSurfaceSize(surface, &w, &h);
    hitW = w;
    hitH = h;
    return 1;
}

int Button::AddStateImageFile(int i, const char* file) {
    IDirectDrawSurface* surface = file ? QuibLoadBitmap(file, 16) : nullptr;
    if (!surface) return 0;
    AddStateImage(i, surface);
    surface->Release(); // the button holds its own reference
    return 1;
}

int Button::LoadStates(const char* file, int n, int vertical) {
    if (!file || n <= 0) return 0;
    IDirectDrawSurface* strip = QuibLoadBitmap(file, 16);
    if (!strip) return 0;
    int width, height;
    GetSurfaceSize(strip, &width, &height);
    int cellW = vertical ? width : width / n;
    int cellH = vertical ? height / n : height;
    int added = 0;
    if (cellW > 0 && cellH > 0) {
        PtrArray<IDirectDrawSurface> frames;
        CutFrames(strip, &frames, cellW, cellH);
        if (frames.count == n) {
            for (int i = 0; i < n; i++)
                AddStateImage(i, frames.items[i]);
            added = 1;
        }
        for (int i = 0; i < frames.count; i++)
            frames.items[i]->Release();
    }
    strip->Release();
    return added;
}

bool Button::InsideHalfOpen(int mx, int my) const {
    int left = hitX + offsetX, top = hitY + offsetY;
    return left <= mx && mx < left + hitW && top <= my && my < top + hitH;
}

bool Button::InsideClosed(int mx, int my) const {
    int left = hitX + offsetX, top = hitY + offsetY;
    return left <= mx && mx <= left + hitW && top <= my && my <= top + hitH;
}

bool Button::OnTransparentPixel(int mx, int my) const {
    IDirectDrawSurface* first = ImageCount() > 0 ? stateImages->items[0]->surface : nullptr;
    if (!first) return true;
    int px = mx - hitX - offsetX, py = my - hitY - offsetY;
    int width, height;
    GetSurfaceSize(first, &width, &height);
    if (px < 0 || py < 0 || px >= width || py >= height) return true;
    return GetPixel(first, px, py) == RGBToPixel(first, 0, 0, 255);
}

void Button::ChangeTo(int s) {
    SetState(s);
    Draw(nullptr);
}

int Button::HandleMouse(int mx, int my, int buttons) {
    if (!enabled) return state;
    mouseOver = InsideHalfOpen(mx, my);
    clicked = 0;
    clickKind = 0;
    if (buttons & 1) {
        if (!mouseOver) {
            if (state != kButtonNormal) ChangeTo(kButtonNormal);
        } else if (state != kButtonPressed && !(pixelHit && OnTransparentPixel(mx, my))) {
            ChangeTo(kButtonPressed);
        }
        return state;
    }
    if (!mouseOver) {
        if (state != kButtonNormal) ChangeTo(kButtonNormal);
    } else if (pixelHit && OnTransparentPixel(mx, my)) {
        ChangeTo(kButtonNormal);
    } else {
        if (state == kButtonPressed) {
            clicked = 1;
            clickKind = kClickLeft;
        }
        if (state != kButtonHover) ChangeTo(kButtonHover);
    }
    return state;
}

int Button::HandleMessage(UINT msg, WPARAM, LPARAM lParam) {
    if (!enabled) return state;
    int mx = LOWORD(lParam), my = HIWORD(lParam);
    mouseOver = InsideClosed(mx, my);
    clicked = 0;
    clickKind = 0;
    switch (msg) {
    case WM_MOUSEMOVE:
        if (mouseOver && state != kButtonHover && state != kButtonPressed) ChangeTo(kButtonHover);
        break;
    case WM_LBUTTONDOWN:
        if (mouseOver && state != kButtonPressed) ChangeTo(kButtonPressed);
        break;
    case WM_LBUTTONUP:
        if (mouseOver) {
            clicked = 1;
            clickKind = kClickLeft;
            if (state != kButtonHover) ChangeTo(kButtonHover);
        }
        break;
    case WM_RBUTTONUP:
        if (mouseOver) {
            clicked = 1;
            clickKind = kClickRight;
        }
        return state;
    default: return state;
    }
    if (!mouseOver && state != kButtonNormal) ChangeTo(kButtonNormal);
    return state;
}

void Button::Draw(IDirectDrawSurface* target) {
    DrawTo(target ? target : g_screenUpdater.GetBackBuffer());
}

void Button::SetFrameOffset(int n) {
    frameOffset = n;
    DrawIfEnabled();
}

void Button::DrawTo(IDirectDrawSurface* target) {
    int count = ImageCount();
    if (!target || count == 0) return;
    RECT rect = {x + offsetX, y + offsetY, x + offsetX + w, y + offsetY + h};
    int frame = state + frameOffset;
    if (singleFrame) frame = 0;
    if (forcedFrame != -1) frame = forcedFrame;
    // A frame beyond the pictures (or a forced one outside them) draws the last picture.
    if (state + frameOffset >= count || frame < 0 || frame >= count) frame = count - 1;
    if (registerRect) g_screenUpdater.AddBounds(rect, kUpdateOneShot, kUpdateRestore);
    IDirectDrawSurface* picture = stateImages->items[frame]->surface;
    if (picture) target->Blt(&rect, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

void Button::DrawIfEnabled() {
    if (enabled) DrawTo(g_screenUpdater.GetBackBuffer());
}

int Button::WasClicked() {
    return clicked;
}

void Button::Reset() {
    SetState(kButtonNormal);
    DrawIfEnabled();
}

void Button::SetName(const char* text) {
    std::snprintf(name, sizeof(name), "%s", text ? text : "");
}

void Button::SetOffset(int ox, int oy) {
    offsetX = ox;
    offsetY = oy;
}

void Button::SetEnabled(int flag) {
    enabled = flag;
}

void Button::DrawIntoBackgrounds(int flag) {
    if (!flag) return;
    IDirectDrawSurface* clean = g_screenUpdater.GetCleanBackground();
    IDirectDrawSurface* background = g_screenUpdater.GetBackground();
    if (clean) Draw(clean);
    if (background) Draw(background);
}

void Button::SwapStateImages() {
    if (ImageCount() >= 2) {
        StateImage* first = stateImages->items[0];
        stateImages->items[0] = stateImages->items[1];
        stateImages->items[1] = first;
    }
    DrawIfEnabled();
}

void Button::SetSingleFrame(int flag) {
    singleFrame = flag;
}

void Button::SetState(int s) {
    state = s;
}

int Button::GetState() {
    return state;
}

void Button::SetHitRect(int hx, int hy, int hw, int hh) {
    hitX = hx;
    hitY = hy;
    hitW = hw;
    hitH = hh;
}

void Button::SetRegisterRect(int flag) {
    registerRect = flag;
}

void Button::SetPixelHit(int flag) {
    pixelHit = flag;
}

int Button::IsMouseOver() {
    return mouseOver;
}

void Button::SetForcedFrame(int i) {
    forcedFrame = i;
}

int Button::GetForcedFrame() {
    return forcedFrame;
}
