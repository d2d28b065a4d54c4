#include "scene_animation.h"

#include "e2e_art.h"
#include "e2e_scene.h"
#include "framework/animation.h"
#include "framework/animation_manager.h"
#include "framework/game_clock.h"
#include "framework/image.h"
#include "framework/page_manager.h"
#include "framework/screen_updater.h"

using namespace animation_scene;

namespace {

class AnimationPage : public Page {
  public:
    AnimationPage() : Page("animations") {}

    void Enter(IDirectDraw* dd, IDirectDrawSurface* back) override {
        Page::Enter(dd, back);
        Image* restore = AddImage("anim_background.bmp");
        Image* clean = AddImage("anim_background.bmp");
        SetBackground(restore ? restore->surface : nullptr);
        SetCleanBackground(clean ? clean->surface : nullptr);
        g_screenUpdater.ResetBackground();
        for (int mode = 0; mode < 4; ++mode) {
            animations_[mode] = new Animation;
            Animation& animation = *animations_[mode];
            animation.LoadStrip("anim_strip.bmp", kFrames, 0);
            animation.DivideWidth();
            animation.SetDelay(kDelayMs);
            animation.SetEndMode(mode);
            animation.SetPlaying(1);
            animation.SetPosition(AnimationX(mode), kRowY);
            animation.time = GetClockMs();
        }
        // The stop-and-hide one plays as a manager copy, which the manager drops when it is done.
        animations_[kEndStopAndHide]->SetName("hide");
        g_animations.Start(*animations_[kEndStopAndHide]);
    }

    // The copies go before the animations whose frames they share.
    void Leave() override {
        g_animations.DeleteAll();
        for (Animation*& animation : animations_) {
            delete animation;
            animation = nullptr;
        }
        Page::Leave();
    }

    int Frame(int) override {
        IDirectDrawSurface* back = g_screenUpdater.GetBackBuffer();
        for (int mode = 0; mode < kEndStopAndHide; ++mode) {
            animations_[mode]->Update();
            animations_[mode]->DrawTo(back);
        }
        g_animations.UpdateAndDraw(back);
        Present();
        return 1;
    }

  private:
    Animation* animations_[4] = {};
};

AnimationPage g_animationPage;

void WriteArt() {
    testsupport::WriteBmp24("anim_background.bmp", 800, 600, [](int, int) { return kBackground; });
    testsupport::WriteBmp24("anim_strip.bmp", kCell * kFrames, kCell,
                            [](int x, int) { return FrameColour(x / kCell); });
}

const char* AddPages() {
    g_pageManager.AddPage(&g_animationPage);
    return "animations";
}

E2ESceneRegistration g_registration({"animation", WriteArt, AddPages, false});

} // namespace
