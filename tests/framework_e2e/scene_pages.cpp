#include "scene_pages.h"

#include "e2e_art.h"
#include "e2e_scene.h"
#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/image.h"
#include "framework/mouse_cursor.h"
#include "framework/page_manager.h"
#include "framework/screen_updater.h"

using namespace pages_scene;

namespace {

// A page with a background, the images of an INI file and one button that switches to another page.
class ButtonPage : public Page {
  public:
    ButtonPage(const char* pageName, const char* background, const char* imagesIni, const char* buttonName,
               const char* buttonStrip, int buttonX, int buttonY, const char* target)
        : Page(pageName), background_(background), imagesIni_(imagesIni), buttonName_(buttonName),
          buttonStrip_(buttonStrip), buttonX_(buttonX), buttonY_(buttonY), target_(target) {}

    void Enter(IDirectDraw* dd, IDirectDrawSurface* back) override {
        Page::Enter(dd, back);
        // Two copies of the background: the restore source and the clean copy.
        Image* restore = AddImage(background_);
        Image* clean = AddImage(background_);
        SetBackground(restore ? restore->surface : nullptr);
        SetCleanBackground(clean ? clean->surface : nullptr);
        g_screenUpdater.ResetBackground();
        if (imagesIni_) LoadImages(imagesIni_);
        Button* button = new Button(buttonX_, buttonY_);
        button->SetName(buttonName_);
        button->LoadStates(buttonStrip_, 3, 0);
        AddControl(button);
    }

    int Frame(int) override {
        int x, y, buttons;
        g_mouseCursor.GetState(&x, &y, &buttons, nullptr, nullptr);
        controls->HandleMouse(x, y, buttons);
        IDirectDrawSurface* back = g_screenUpdater.GetBackBuffer();
        DrawImage(back, "badge");
        controls->Draw();
        bool leave = controls->WasClicked(buttonName_) != 0;
        Present();
        if (leave) g_pageManager.SwitchTo(target_);
        return 1;
    }

  private:
    const char* background_;
    const char* imagesIni_;
    const char* buttonName_;
    const char* buttonStrip_;
    int buttonX_;
    int buttonY_;
    const char* target_;
};

ButtonPage g_firstPage("first", "first_bg.bmp", ".\\pages.ini", "go", "go.bmp", kGoX, kGoY, "second");
ButtonPage g_secondPage("second", "second_bg.bmp", nullptr, "back", "back.bmp", kBackX, kBackY, "first");

void WriteStrip(const char* file, uint32_t normal, uint32_t hover, uint32_t pressed) {
    testsupport::WriteBmp24(file, 3 * kButtonW, kButtonH, [=](int x, int) {
        return x < kButtonW ? normal : x < 2 * kButtonW ? hover : pressed;
    });
}

void WriteArt() {
    testsupport::WriteBmp24("first_bg.bmp", 800, 600, [](int, int) { return kFirstBackground; });
    testsupport::WriteBmp24("second_bg.bmp", 800, 600, [](int, int) { return kSecondBackground; });
    testsupport::WriteBmp24("art_badge.bmp", 20, 20, [](int, int) { return kBadge; });
    WriteStrip("go.bmp", kGoNormal, kGoHover, kGoPressed);
    WriteStrip("back.bmp", kBackNormal, kBackHover, kBackPressed);
    testsupport::WriteText("pages.ini",
                           "[images]\nimage01=badge\n\n[badge]\nfile=.\\Art_Badge.bmp\nx=700\ny=20\n");
}

const char* AddPages() {
    g_pageManager.AddPage(&g_firstPage);
    g_pageManager.AddPage(&g_secondPage);
    return "first";
}

E2ESceneRegistration g_registration({"pages", WriteArt, AddPages, true});

} // namespace
