#include "framework/mouse_cursor.h"

#include "framework/image.h"
#include "framework/screen_updater.h"
#include "framework/surface_helpers.h"
#include "quib/quib.h"

MouseCursor g_mouseCursor;

namespace {
// The button bits of the previous poll; only the polling thread touches them.
std::atomic<int> g_previousLeft{0};
std::atomic<int> g_previousRight{0};

Image* LoadCursorImage(const char* file) {
    Image* image = new Image(file);
    image->SetColorKey(0, 0, 0);
    return image;
}
} // namespace

MouseCursor::MouseCursor() : images(new PtrArray<Image>) {}

MouseCursor::~MouseCursor() {
    Release();
}

void MouseCursor::ReleaseSaveSurfaces() {
    for (IDirectDrawSurface*& save : saveSurfaces) {
        if (save) save->Release();
        save = nullptr;
    }
}

void MouseCursor::SetImage(const char* file) {
    if (file) {
        Image* image = LoadCursorImage(file);
        if (!images) images = new PtrArray<Image>;
        images->Add(image);
        width = image->width;
        height = image->height;
        ReleaseSaveSurfaces();
        saveSurfaces[0] = CreateSurface(width, height);
        saveSurfaces[1] = CreateSurface(width, height);
    }
    saveIndex = 0;
    ForgetSaved();
    visible = 0;
    flipMode = 0;
}

void MouseCursor::AddImage(const char* file) {
    if (!images) images = new PtrArray<Image>;
    images->Add(LoadCursorImage(file));
}

void MouseCursor::SelectImage(int i) {
    currentImage = images ? images->Lookup(i) : nullptr;
}

void MouseCursor::Show() {
    visible = 1;
}

void MouseCursor::Hide() {
    visible = 0;
}

void MouseCursor::SetFlipMode(int flag) {
    flipMode = flag & 0xFF;
}

void MouseCursor::SetArea(int x, int y, int w, int h) {
    areaX = x;
    areaY = y;
    areaW = w;
    areaH = h;
}

void MouseCursor::SetFullScreen(int flag) {
    fullScreen = flag;
}

void MouseCursor::ForgetSaved() {
    savedX[0] = savedX[1] = -1;
}

void MouseCursor::Release() {
    if (images) {
        images->DeleteAll();
        delete images;
        images = nullptr;
    }
    currentImage = nullptr;
    ReleaseSaveSurfaces();
    ForgetSaved();
}

void MouseCursor::SetPosition(int x, int y) {
    mouseX = x;
    mouseY = y;
}

int MouseCursor::GetX() const {
    return mouseX;
}

int MouseCursor::GetY() const {
    return mouseY;
}

void MouseCursor::SetX(int x) {
    mouseX = x;
}

void MouseCursor::SetY(int y) {
    mouseY = y;
}

int MouseCursor::ConsumePress(std::atomic<int>& presses, int* out) {
    int pending = presses.load();
    while (pending > 0) {
        if (presses.compare_exchange_weak(pending, pending - 1)) {
            if (out) *out = pending - 1;
            return 1;
        }
    }
    return 0;
}

int MouseCursor::GetState(int* x, int* y, int* buttonsOut, int* leftOut, int* rightOut) {
    if (x) *x = mouseX;
    if (y) *y = mouseY;
    if (buttonsOut) *buttonsOut = buttons.load();
    int consumed = ConsumePress(leftPresses, leftOut);
    consumed |= ConsumePress(rightPresses, rightOut) << 1;
    return consumed;
}

void MouseCursor::PollButtons() {
    if (!polling.load()) return;
    int dx = 0, dy = 0, bits = 0;
    QuibGetMouseData(&dx, &dy, &bits);
    buttons.store(bits);
    int left = bits & 1;
    int right = (bits & 2) >> 1;
    if (left && !g_previousLeft.load()) leftPresses.fetch_add(1);
    if (right && !g_previousRight.load()) rightPresses.fetch_add(1);
    g_previousLeft.store(left);
    g_previousRight.store(right);
}

void MouseCursor::DrawAt(IDirectDrawSurface* target, int x, int y) {
    IDirectDrawSurface* save = saveSurfaces[saveIndex];
    IDirectDrawSurface* picture = currentImage ? currentImage->surface : nullptr;
    if (visible && target && save && picture) {
        RECT rect = {x, y, x + width, y + height};
        // The blits are not clipped: at the screen's edge the save is refused, and then nothing is
        // recorded or drawn, so Restore never puts back a stale save.
        if (!FAILED(save->Blt(nullptr, target, &rect, DDBLT_WAIT, nullptr))) {
            g_screenUpdater.AddBounds(rect, kUpdateOneShot, kUpdateRestore);
            savedX[saveIndex] = x;
            savedY[saveIndex] = y;
            target->Blt(&rect, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
        }
    }
    ToggleSave();
}

void MouseCursor::Draw(IDirectDrawSurface* target) {
    DrawAt(target, mouseX, mouseY);
}

void MouseCursor::Restore(IDirectDrawSurface* target) {
    if (savedX[saveIndex] == -1) return;
    IDirectDrawSurface* save = saveSurfaces[saveIndex];
    if (save && target) {
        RECT rect = {savedX[saveIndex], savedY[saveIndex], savedX[saveIndex] + width,
                     savedY[saveIndex] + height};
        target->Blt(&rect, save, nullptr, DDBLT_WAIT, nullptr);
    }
    savedX[saveIndex] = -1;
}

void MouseCursor::ToggleSave() {
    saveIndex = flipMode ? 1 - saveIndex : 0;
}
