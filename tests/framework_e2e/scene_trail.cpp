#include "scene_trail.h"

#include "e2e_art.h"
#include "e2e_scene.h"
#include "framework/image.h"
#include "framework/page_manager.h"
#include "framework/screen_updater.h"

using namespace trail_scene;

namespace {

class TrailPage : public Page {
  public:
    TrailPage() : Page("trail") {}

    void Enter(IDirectDraw* dd, IDirectDrawSurface* back) override {
        Page::Enter(dd, back);
        Image* restore = AddImage("stripes.bmp");
        Image* clean = AddImage("stripes.bmp");
        SetBackground(restore ? restore->surface : nullptr);
        SetCleanBackground(clean ? clean->surface : nullptr);
        g_screenUpdater.ResetBackground();
        sprite_ = AddImage("sprite.bmp");
        frame_ = 0;
    }

    int Frame(int) override {
        if (sprite_) {
            int x = SpriteXAt(frame_++);
            sprite_->DrawAt(g_screenUpdater.GetBackBuffer(), x, kSpriteY);
            RECT drawn = {x, kSpriteY, x + sprite_->width, kSpriteY + sprite_->height};
            g_screenUpdater.AddBounds(drawn, kUpdateOneShot, kUpdateRestore);
        }
        Present();
        return 1;
    }

  private:
    Image* sprite_ = nullptr;
    int frame_ = 0;
};

TrailPage g_trailPage;

void WriteArt() {
    testsupport::WriteBmp24("stripes.bmp", 800, 600, [](int x, int y) { return BackgroundAt(x, y); });
    testsupport::WriteBmp24("sprite.bmp", kSpriteSize, kSpriteSize, [](int, int) { return kSprite; });
}

const char* AddPages() {
    g_pageManager.AddPage(&g_trailPage);
    return "trail";
}

E2ESceneRegistration g_registration({"trail", WriteArt, AddPages, true});

} // namespace
