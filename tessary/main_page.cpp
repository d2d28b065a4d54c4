#include "tessary/main_page.h"

#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/image.h"
#include "framework/mouse_cursor.h"
#include "framework/screen_updater.h"
#include "framework/soundmanager.h"
#include "tessary/puzzle_game.h"

MainPage g_mainPage;

namespace {

struct PanelButton {
    const char* name;
    const char* file;
    int x;
    int y;
};

constexpr PanelButton kPanelButtons[] = {
    {"menu", "backbutton.bmp", 4, 478},     {"new", "newgamebutton.bmp", 57, 478},
    {"help", "infobutton.bmp", 4, 526},     {"exit", "exitbutton.bmp", 57, 526},
    {"arrowleft", "levelleft.bmp", 5, 272}, {"arrowright", "levelright.bmp", 82, 272},
};

struct Effect {
    const char* file;
    const char* name;
};

// Registered in this order, so their IDs are 10-18.
constexpr Effect kEffects[] = {
    {"sounds\\arrow.wav", "arrow"},
    {"sounds\\wall.wav", "wall"},
    {"sounds\\explode.wav", "explode"},
    {"sounds\\falling.wav", "falling"},
    {"sounds\\incorrect.wav", "incorrect"},
    {"sounds\\level.wav", "level"},
    {"sounds\\positive.wav", "positive"},
    {"sounds\\verypositive.wav", "verypositive"},
    {"sounds\\zap.wav", "zap"},
};

constexpr int kButtonFrames = 2;

IDirectDrawSurface* SurfaceOf(const Image* image) {
    return image ? image->GetSurface() : nullptr;
}

} // namespace

MainPage::MainPage() : Page("main") {}

MainPage::~MainPage() {
    delete font;
}

void MainPage::Enter(IDirectDraw* dd, IDirectDrawSurface* back) {
    Page::Enter(dd, back);
    backgroundImage = AddImage("background.bmp");
    cleanBackgroundImage = AddImage("background.bmp");
    g_screenUpdater.SetBackground(SurfaceOf(backgroundImage));
    g_screenUpdater.SetCleanBackground(SurfaceOf(cleanBackgroundImage));
    g_screenUpdater.ResetBackground();
    for (const PanelButton& panelButton : kPanelButtons) {
        Button* button = new Button(panelButton.x, panelButton.y);
        button->SetName(panelButton.name);
        button->LoadStates(panelButton.file, kButtonFrames, 0);
        controls->Add(button);
    }
    for (const Effect& effect : kEffects)
        g_soundManager.LoadSample(effect.file, effect.name);
    delete font;
    font = new BitmapFont();
    font->Load("font.bmp");
}

void MainPage::Leave() {
    g_soundManager.FreeAll();
    // The images below are the updater's restore sources: it must not keep them once they are freed.
    if (backgroundImage || cleanBackgroundImage) {
        g_screenUpdater.SetBackground(nullptr);
        g_screenUpdater.SetCleanBackground(nullptr);
    }
    backgroundImage = nullptr;
    cleanBackgroundImage = nullptr;
    Page::Leave();
    delete font;
    font = nullptr;
}

int MainPage::HandleMessage(HWND, UINT, WPARAM, LPARAM) {
    return 1;
}

int MainPage::Frame(int) {
    int x = 0, y = 0, buttons = 0;
    g_mouseCursor.GetState(&x, &y, &buttons, nullptr, nullptr);
    if (g_puzzleGame.Frame() == kFrameEndProgram) return 0;
    return Present() != 0;
}

int OutOfTimePopup::CheckInput() {
    g_puzzleGame.DrawBalls();
    return Popup::CheckInput();
}
