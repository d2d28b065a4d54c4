#include "framework/page.h"

#include <cstdio>
#include <cstring>

#include "framework/control_list.h"
#include "framework/image.h"
#include "framework/mouse_cursor.h"
#include "framework/screen_updater.h"
#include "host/win/profile.h"
#include "quib/quib.h"

namespace {
// Longest INI value read, terminator included.
constexpr int kIniValueSize = 256;
} // namespace

Page::Page() : controls(new ControlList), images(new PtrArray<Image>) {}

Page::Page(const char* pageName) : Page() {
    SetName(pageName);
}

Page::~Page() {
    Page::Leave();
}

void Page::Init() {
    if (!images) images = new PtrArray<Image>;
    if (!controls) controls = new ControlList;
}

void Page::Enter(IDirectDraw* dd, IDirectDrawSurface* back) {
    directDraw = dd;
    backBuffer = back;
    Init();
}

void Page::Leave() {
    delete controls;
    controls = nullptr;
    FreeImages();
}

int Page::HandleMessage(HWND, UINT, WPARAM, LPARAM) {
    return 1;
}

int Page::Frame(int) {
    return 1;
}

void Page::SetName(const char* text) {
    std::snprintf(name, sizeof(name), "%s", text ? text : "");
}

const char* Page::GetName() {
    return name;
}

Image* Page::AddImage(const char* file) {
    Image* image = new Image(file);
    if (!image->surface) {
        delete image;
        return nullptr;
    }
    if (!images) images = new PtrArray<Image>;
    images->Add(image);
    return image;
}

void Page::FreeImages() {
    if (!images) return;
    images->DeleteAll();
    delete images;
    images = nullptr;
}

void Page::RemoveImage(int index) {
    if (images) images->Remove(images->Lookup(index));
}

void Page::SetBackground(IDirectDrawSurface* surface) {
    g_screenUpdater.SetBackground(surface);
}

void Page::SetCleanBackground(IDirectDrawSurface* surface) {
    g_screenUpdater.SetCleanBackground(surface);
}

void Page::LoadListedImage(const char* section, const char* iniPath) {
    char file[kIniValueSize];
    GetPrivateProfileStringA(section, "file", "none", file, sizeof(file), iniPath);
    char named[kIniValueSize + 4];
    if (std::strcmp(file, "none") != 0)
        std::snprintf(named, sizeof(named), "%s", file);
    else
        std::snprintf(named, sizeof(named), "%s.bmp", section);
    Image* image = new Image(named);
    if (!images) images = new PtrArray<Image>;
    images->Add(image);
    image->SetName(section);
    image->SetPosition(static_cast<int>(GetPrivateProfileIntA(section, "x", 0, iniPath)),
                       static_cast<int>(GetPrivateProfileIntA(section, "y", 0, iniPath)));
}

int Page::LoadImages(const char* iniPath) {
    if (!iniPath) return 0;
    for (int n = 1;; n++) {
        char key[32];
        std::snprintf(key, sizeof(key), "image%02d", n);
        char section[kIniValueSize];
        GetPrivateProfileStringA("images", key, "none", section, sizeof(section), iniPath);
        if (std::strcmp(section, "none") == 0) return 0;
        LoadListedImage(section, iniPath);
    }
}

Image* Page::FindImage(const char* imageName) {
    if (!images || !imageName) return nullptr;
    for (int i = 0; i < images->count; i++)
        if (std::strcmp(images->items[i]->name, imageName) == 0) return images->items[i];
    return nullptr;
}

int Page::DrawImageAt(IDirectDrawSurface* target, const char* imageName, int x, int y) {
    Image* image = FindImage(imageName);
    if (!image) return 0;
    image->DrawAt(target, x, y);
    return 1;
}

int Page::DrawImage(IDirectDrawSurface* target, const char* imageName) {
    Image* image = FindImage(imageName);
    if (!image) return 0;
    image->DrawAt(target, image->x, image->y);
    return 1;
}

int Page::Present() {
    if (presentOverride && presentOverride != this) return presentOverride->Present();
    IDirectDrawSurface* back = g_screenUpdater.GetBackBuffer();
    g_mouseCursor.Draw(back);
    int flipped = QuibFlip();
    g_mouseCursor.Restore(back);
    g_screenUpdater.ToggleList();
    g_screenUpdater.Replay(back);
    return flipped;
}

void Page::SetPresentOverride(Page* page) {
    presentOverride = page;
}

Button* Page::AddControl(Button* control) {
    if (!control) return nullptr;
    if (!controls) controls = new ControlList; // after a Leave
    control->SetOffset(controls->originX, controls->originY);
    return controls->Add(control);
}
