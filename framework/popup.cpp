#include "framework/popup.h"

#include <cstring>

#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/game_clock.h"
#include "framework/image.h"
#include "framework/mouse_cursor.h"
#include "framework/program_contract.h"
#include "framework/screen_updater.h"
#include "framework/surface_helpers.h"
#include "host/win/keystate.h"

Popup::Popup() : popupImages(new PtrArray<Image>) {}

Popup::~Popup() {
    Popup::Leave();
}

void Popup::Init() {
    Page::Init();
    if (!popupImages) popupImages = new PtrArray<Image>;
}

void Popup::Leave() {
    Page::Leave();
    if (!popupImages) return;
    popupImages->DeleteAll();
    delete popupImages;
    popupImages = nullptr;
    currentImage = nullptr;
}

void Popup::SetPosition(int x, int y) {
    if (x != -1 || y != -1) {
        int w = currentImage ? currentImage->width : 0;
        int h = currentImage ? currentImage->height : 0;
        rect = {x, y, x + w, y + h};
    } else if (rect.left == -1 && rect.top == -1) {
        // A missing image has no surface and centres as 0 x 0.
        CenterRect(currentImage ? currentImage->surface : nullptr, 0, 0, kScreenWidth, kScreenHeight, &rect);
    }
    if (controls) controls->SetOrigin(rect.left, rect.top);
    originX = rect.left;
    originY = rect.top;
}

void Popup::SetResult(const char* text) {
    if (text) SetName(text);
    done = 1;
}

void Popup::BorrowBackground() {
    backgroundBorrowed_ = false;
    if (!useAsBackground || !currentImage || !currentImage->surface) return;
    savedBackground_ = g_screenUpdater.GetBackground();
    g_screenUpdater.SetBackground(currentImage->surface);
    backgroundBorrowed_ = true;
}

void Popup::ReturnBackground() {
    if (!backgroundBorrowed_) return;
    g_screenUpdater.SetBackground(savedBackground_);
    backgroundBorrowed_ = false;
}

int Popup::Run(char* resultOut, const char* imageName) {
    done = 0;
    if (imageName)
        SelectImage(imageName);
    else
        currentImage = popupImages ? popupImages->Lookup(0) : nullptr;
    BorrowBackground();
    name[0] = '\0';
    for (;;) {
        if (done) {
            ReturnBackground();
            if (resultOut) std::memcpy(resultOut, name, std::strlen(name) + 1);
            return done;
        }
        int x = 0, y = 0, buttons = 0;
        g_mouseCursor.GetState(&x, &y, &buttons, nullptr, nullptr);
        if (PumpMessages()) break;
        if (!RunPass(x, y, buttons)) break;
    }
    ReturnBackground();
    return 0;
}

bool Popup::RunPass(int x, int y, int buttons) {
    IDirectDrawSurface* back = g_screenUpdater.GetBackBuffer();
    if (currentImage) currentImage->DrawAt(back, rect.left, rect.top);
    if (controls) {
        controls->HandleMouse(x, y, buttons);
        controls->Draw();
    }
    if (!Poll(x, y, buttons)) return false;
    if (!done && presentOverride && passThrough) PollPageBehind(x, y, buttons);
    Present();
    return true;
}

void Popup::PollPageBehind(int x, int y, int buttons) {
    ControlList* behind = presentOverride->controls;
    if (!behind) return;
    behind->HandleMouse(x, y, buttons);
    behind->Draw();
    if (Button* clicked = behind->GetClicked()) SetResult(clicked->name);
}

int Popup::Poll(int, int, int) {
    return CheckInput();
}

int Popup::CheckInput() {
    if (closeKey && (GetAsyncKeyState(closeKey) & 0x8000)) SetResult("key");
    if (controls) {
        if (Button* clicked = controls->GetClicked()) SetResult(clicked->name);
    }
    if (deadline && GetClockMs() > deadline) done = 1;
    return 1;
}

void Popup::SetImage(Image* image) {
    if (!image) return;
    currentImage = image;
    SetPosition(-1, -1);
}

void Popup::SelectImage(const char* imageName) {
    Image* found = FindPopupImage(imageName);
    currentImage = found ? found : (popupImages ? popupImages->Lookup(0) : nullptr);
    SetPosition(-1, -1);
}

Image* Popup::GetImage() {
    return currentImage;
}

Image* Popup::FindPopupImage(const char* imageName) {
    if (!popupImages || !imageName) return nullptr;
    for (int i = 0; i < popupImages->GetCount(); ++i) {
        Image* image = popupImages->GetAt(i);
        if (std::strcmp(image->name, imageName) == 0) return image;
    }
    return nullptr;
}

Image* Popup::AddImage(const char* file, const char* imageName) {
    Image* image = new Image(file);
    image->SetName(imageName);
    Init();
    if (!popupImages->Add(image)) {
        delete image;
        return nullptr;
    }
    SetImage(image);
    return image;
}

void Popup::SetUseAsBackground(int flag) {
    useAsBackground = flag;
}

Button* Popup::AddDefaultButton() {
    int w = currentImage ? currentImage->width : 0;
    int h = currentImage ? currentImage->height : 0;
    Button* button = new Button(0, 0, w, h);
    button->SetName("default");
    return AddControl(button);
}

void Popup::SetDeadline(int clockTime) {
    deadline = clockTime;
}

void Popup::SetCloseKey(int virtualKey) {
    closeKey = virtualKey;
}

void Popup::SetPassThrough(int flag) {
    passThrough = flag;
}
