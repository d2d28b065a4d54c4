#include "scene_popup.h"

#include <cstdio>
#include <cstring>

#include "e2e_art.h"
#include "e2e_scene.h"
#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/image.h"
#include "framework/mouse_cursor.h"
#include "framework/page_manager.h"
#include "framework/popup.h"
#include "framework/screen_updater.h"
#include "framework/surface_helpers.h"

using namespace popup_scene;

namespace {

Button* MakeButton(const char* name, const char* picture, int x, int y) {
    Button* button = new Button(x, y);
    button->SetName(name);
    button->AddStateImageFile(0, picture);
    return button;
}

class PopupHostPage : public Page {
  public:
    PopupHostPage() : Page("host") {}

    void Enter(IDirectDraw* dd, IDirectDrawSurface* back) override {
        Page::Enter(dd, back);
        Image* restore = AddImage("popup_background.bmp");
        Image* clean = AddImage("popup_background.bmp");
        SetBackground(restore ? restore->surface : nullptr);
        SetCleanBackground(clean ? clean->surface : nullptr);
        g_screenUpdater.ResetBackground();
        AddControl(MakeButton("open", "popup_open.bmp", kOpenX, kOpenY));
        badge_ = 0;
    }

    int Frame(int) override {
        int x, y, buttons;
        g_mouseCursor.GetState(&x, &y, &buttons, nullptr, nullptr);
        controls->HandleMouse(x, y, buttons);
        IDirectDrawSurface* back = g_screenUpdater.GetBackBuffer();
        controls->Draw();
        if (badge_) {
            FillBadge(back);
            RECT drawn = {kBadgeX, kBadgeY, kBadgeX + kBadgeSize, kBadgeY + kBadgeSize};
            g_screenUpdater.AddBounds(drawn, kUpdateOneShot, kUpdateRestore);
        }
        if (controls->WasClicked("open") && !RunPopup()) return 0;
        Present();
        return 1;
    }

  private:
    // Runs the popup over this page; false when the program is quitting.
    bool RunPopup() {
        Popup* popup = new Popup;
        popup->SetPresentOverride(this);
        popup->AddImage("popup_picture.bmp", "picture");
        popup->SetPosition(kPopupX, kPopupY);
        popup->AddControl(MakeButton("yes", "popup_yes.bmp", kYesX, kChoiceY));
        popup->AddControl(MakeButton("no", "popup_no.bmp", kNoX, kChoiceY));
        char result[kPageNameSize] = "";
        int ended = popup->Run(result, nullptr);
        delete popup;
        if (!ended) return false;
        std::printf("popup result: %s\n", result);
        std::fflush(stdout);
        badge_ = std::strcmp(result, "yes") == 0  ? kYesButton
                 : std::strcmp(result, "no") == 0 ? kNoButton
                                                  : kNoResult;
        // The popup's picture is still in the buffers: repair them from the clean background.
        g_screenUpdater.ResetBackground();
        return true;
    }

    void FillBadge(IDirectDrawSurface* back) {
        DDBLTFX fx = {};
        fx.dwSize = sizeof fx;
        fx.dwFillColor =
            DWORD(RGBToPixel(back, int(badge_ >> 16), int(badge_ >> 8) & 0xFF, int(badge_) & 0xFF));
        RECT rect = {kBadgeX, kBadgeY, kBadgeX + kBadgeSize, kBadgeY + kBadgeSize};
        back->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }

    uint32_t badge_ = 0;
};

PopupHostPage g_popupHostPage;

void Solid(const char* file, int width, int height, uint32_t colour) {
    testsupport::WriteBmp24(file, width, height, [colour](int, int) { return colour; });
}

void WriteArt() {
    Solid("popup_background.bmp", 800, 600, kBackground);
    Solid("popup_open.bmp", kOpenW, kOpenH, kOpenButton);
    Solid("popup_picture.bmp", kPopupW, kPopupH, kPopupPicture);
    Solid("popup_yes.bmp", kChoiceW, kChoiceH, kYesButton);
    Solid("popup_no.bmp", kChoiceW, kChoiceH, kNoButton);
}

const char* AddPages() {
    g_pageManager.AddPage(&g_popupHostPage);
    return "host";
}

E2ESceneRegistration g_registration({"popup", WriteArt, AddPages, false});

} // namespace
