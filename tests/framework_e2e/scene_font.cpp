#include "scene_font.h"

#include <vector>

#include "e2e_art.h"
#include "e2e_scene.h"
#include "framework/bitmap_font.h"
#include "framework/image.h"
#include "framework/page_manager.h"
#include "framework/screen_updater.h"

using namespace font_scene;

namespace {

class FontPage : public Page {
  public:
    FontPage() : Page("font") {}

    void Enter(IDirectDraw* dd, IDirectDrawSurface* back) override {
        Page::Enter(dd, back);
        Image* restore = AddImage("font_background.bmp");
        Image* clean = AddImage("font_background.bmp");
        SetBackground(restore ? restore->surface : nullptr);
        SetCleanBackground(clean ? clean->surface : nullptr);
        g_screenUpdater.ResetBackground();
        font_ = new BitmapFont;
        font_->Load("font_strip.bmp");
    }

    void Leave() override {
        delete font_;
        font_ = nullptr;
        Page::Leave();
    }

    int Frame(int) override {
        IDirectDrawSurface* back = g_screenUpdater.GetBackBuffer();
        font_->DrawText(back, kLeftText, kLeftX, kLeftY, 0, -1);
        font_->DrawText(back, kRightText, kRightX, kRightY, 1, -1);
        font_->DrawText(back, kLimitedText, kLimitedX, kLimitedY, 0, kLimitedMaxX);
        Present();
        return 1;
    }

  private:
    BitmapFont* font_ = nullptr;
};

FontPage g_fontPage;

// The strip: two blue columns, then each glyph followed by its blue gap. A glyph's bottom row is blue
// except in its first column.
void WriteStrip() {
    std::vector<int> glyphAt; // per column: the glyph, or -1 for blue
    std::vector<int> columnInGlyph;
    auto blue = [&](int n) {
        for (int k = 0; k < n; ++k) {
            glyphAt.push_back(-1);
            columnInGlyph.push_back(0);
        }
    };
    blue(2);
    for (int i = 0; i < kGlyphs; ++i) {
        for (int c = 0; c < GlyphWidth(i); ++c) {
            glyphAt.push_back(i);
            columnInGlyph.push_back(c);
        }
        blue(GapAfter(i));
    }
    testsupport::WriteBmp24("font_strip.bmp", int(glyphAt.size()), kHeight, [&](int x, int y) -> uint32_t {
        int glyph = glyphAt[size_t(x)];
        if (glyph < 0 || (y == kHeight - 1 && columnInGlyph[size_t(x)] > 0)) return 0x0000FF;
        return GlyphColour(glyph);
    });
}

void WriteArt() {
    testsupport::WriteBmp24("font_background.bmp", 800, 600, [](int, int) { return kBackground; });
    WriteStrip();
}

const char* AddPages() {
    g_pageManager.AddPage(&g_fontPage);
    return "font";
}

E2ESceneRegistration g_registration({"font", WriteArt, AddPages, false});

} // namespace
