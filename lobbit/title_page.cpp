#include "lobbit/title_page.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "framework/bitmap_font.h"
#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/image.h"
#include "framework/mouse_cursor.h"
#include "framework/page_manager.h"
#include "framework/popup.h"
#include "framework/screen_updater.h"
#include "host/win/folders.h"
#include "host/win/messagebox.h"
#include "host/win/profile.h"
#include "host/win/shell.h"
#include "host/win/window.h"
#include "lobbit/game_menu_page.h"
#include "lobbit/hall_of_fame_popup.h"
#include "lobbit/menu_program.h"
#include "lobbit/player_info_popup.h"
#include "lobbit/text_field.h"

PlayerList g_playerList;
TitlePage g_titlePage;

namespace {

constexpr int kStopValue = 7;
constexpr const char* kOptionsIni = "..\\options.ini";
constexpr int kPopupX = 53;
constexpr int kPopupY = 18;
constexpr int kFieldTextBytes = 64;
constexpr int kSwitchBytes = 10;
constexpr int kFieldWidth = 150;
constexpr int kFieldHeight = 30;
// Where the eight players' names stand (player 0 one pixel right of the others in its column).
constexpr int kFieldX[TitlePage::kFieldCount] = {239, 408, 238, 408, 238, 408, 238, 408};
constexpr int kFieldY[TitlePage::kFieldCount] = {378, 378, 420, 420, 464, 464, 510, 510};

struct ButtonPlace {
    int x, y;
    const char* name;
    const char* image;
};

constexpr ButtonPlace kButtons[] = {
    {52, 296, "HowToPlay", "..\\HowToPlayButton.bmp"},
    {636, 296, "Play", "..\\PlayButton.bmp"},
    {52, 365, "HighScores", "..\\HighScoresButton.bmp"},
    {636, 365, "Menu", "..\\MenuButton.bmp"},
    {52, 435, "Credits", "..\\CreditsButton.bmp"},
    {636, 435, "Exit", "..\\ExitButton.bmp"},
    {280, 318, "Players", "..\\PlayersButton.bmp"},
    {52, 505, "SFX", "..\\sfx.bmp"},
    {106, 505, "Music", "..\\music.bmp"},
};

// The player's name up to its first space, as the list shows it.
std::string FirstWord(const char* name) {
    std::string word = name ? name : "";
    const size_t space = word.find(' ');
    if (space != std::string::npos) word.resize(space);
    return word;
}

std::string CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return "";
    std::string folder(needed, '\0');
    const DWORD length = GetCurrentDirectoryA(needed, folder.data());
    if (length == 0 || length >= needed) return "";
    folder.resize(length);
    return folder;
}

} // namespace

TitlePage::TitlePage() : Page("title") {}

TitlePage::~TitlePage() {
    FreeMembers();
}

void TitlePage::SetGame(GameEntry* entry) {
    game_ = entry;
}

GameEntry* TitlePage::GetGame() const {
    return game_;
}

const TextField* TitlePage::GetField(int i) const {
    return i >= 0 && i < kFieldCount ? fields_[i] : nullptr;
}

void TitlePage::FreeMembers() {
    for (TextField*& field : fields_) {
        delete field;
        field = nullptr;
    }
    for (BitmapFont*& font : fonts_) {
        delete font;
        font = nullptr;
    }
}

void TitlePage::CreateControls() {
    for (const ButtonPlace& place : kButtons) {
        Button* button = new Button(place.x, place.y);
        button->SetName(place.name);
        button->LoadStates(place.image, 2, 0);
        AddControl(button);
    }
}

// A toggle's picture 0 is "on"; when the options file says "N" its pictures are swapped.
void TitlePage::ReadSwitch(const char* buttonName, const char* key, int& value) {
    Button* button = controls ? controls->Find(buttonName) : nullptr;
    if (button) button->SetSingleFrame(1);
    char text[kSwitchBytes] = {};
    GetPrivateProfileStringA("setup", key, "Y", text, sizeof text, kOptionsIni);
    value = text[0] == 'N' ? 0 : 1;
    if (!value && button) button->SwapStateImages();
}

void TitlePage::FlipSwitch(const char* buttonName, const char* key, int& value) {
    Button* button = controls ? controls->Find(buttonName) : nullptr;
    if (button) button->SwapStateImages();
    value = 1 - value;
    WritePrivateProfileStringA("setup", key, value ? "Y" : "N", kOptionsIni);
}

void TitlePage::CreateFields() {
    for (BitmapFont*& font : fonts_) {
        delete font;
        font = new BitmapFont();
    }
    fonts_[0]->Load("..\\n_font.bmp");
    fonts_[1]->Load("..\\h_font.bmp");
    for (int i = 0; i < kFieldCount; ++i) {
        delete fields_[i];
        TextField* field = new TextField();
        field->AllocText(kFieldTextBytes);
        field->AddFont(fonts_[0]);
        field->AddFont(fonts_[1]);
        field->LoadCursor("..\\blockcursor.bmp");
        field->SetOffset(0, 0);
        field->SetEditable(0);
        field->SetRect(kFieldX[i], kFieldY[i], kFieldWidth, kFieldHeight);
        fields_[i] = field;
    }
}

void TitlePage::ShowPlayerNames() {
    for (int i = 0; i < kFieldCount; ++i)
        if (fields_[i]) fields_[i]->SetText(FirstWord(g_playerList.m_Players[i].name).c_str());
}

void TitlePage::Enter(IDirectDraw* dd, IDirectDrawSurface* back) {
    if (game_) SetCurrentDirectoryA(game_->path.c_str());
    Page::Enter(dd, back);
    Image* background = AddImage(".\\title\\titlebackground.bmp");
    Image* clean = AddImage(".\\title\\titlebackground.bmp");
    g_screenUpdater.SetBackground(background ? background->GetSurface() : nullptr);
    g_screenUpdater.SetCleanBackground(clean ? clean->GetSurface() : nullptr);
    g_screenUpdater.ResetBackground();
    CreateControls();
    ReadSwitch("SFX", "SFX", sfx_);
    ReadSwitch("Music", "Music", music_);
    CreateFields();
    g_playerList.SetIniPath(kOptionsIni);
    currentPlayer_ = g_playerList.ReadCurrentPlayer();
    for (int i = 0; i < kFieldCount; ++i)
        g_playerList.ReadPlayer(i);
    ShowPlayerNames();
    previousButtons_ = 0;
    if (game_) SetCurrentDirectoryA(game_->path.c_str());
}

void TitlePage::Leave() {
    Page::Leave();
    FreeMembers();
}

void TitlePage::HandleFieldClicks(int x, int y, int buttons) {
    if (buttons != previousButtons_ && (buttons & 1)) {
        for (int i = 0; i < kFieldCount; ++i) {
            if (!fields_[i]) continue;
            fields_[i]->HandleClick(x, y);
            if (fields_[i]->selected) {
                currentPlayer_ = i;
                g_playerList.WriteCurrentPlayer(i);
            }
        }
    }
    previousButtons_ = buttons;
}

void TitlePage::DrawFields() {
    IDirectDrawSurface* back = g_screenUpdater.GetBackBuffer();
    for (TextField* field : fields_) {
        if (!field) continue;
        field->Draw(back);
        g_screenUpdater.AddRect(field->x, field->y, field->width, field->height, 1, 0x1000);
    }
    if (fields_[currentPlayer_]) fields_[currentPlayer_]->SetSelected(1);
}

int TitlePage::RunPicturePopup(const char* image) {
    Popup* popup = new Popup();
    popup->Init();
    popup->AddImage(image, "picture");
    popup->AddDefaultButton();
    popup->SetPosition(kPopupX, kPopupY);
    const int ran = popup->Run(nullptr, nullptr);
    delete popup;
    return ran;
}

int TitlePage::RunHallOfFame() {
    HallOfFamePopup* popup = new HallOfFamePopup(game_ ? game_->name.c_str() : "");
    popup->Init();
    popup->SetPosition(kPopupX, kPopupY);
    const int ran = popup->Run(nullptr, nullptr);
    delete popup;
    return ran;
}

int TitlePage::RunPlayerEditor() {
    g_playerList.SetIniPath(kOptionsIni);
    PlayerInfoPopup* popup = new PlayerInfoPopup(currentPlayer_);
    popup->Init();
    popup->SetPosition(kPopupX, kPopupY);
    popup->LoadRecord(&g_playerList.m_Players[currentPlayer_]);
    const int ran = popup->Run(nullptr, nullptr);
    delete popup;
    if (ran == 0) return 0;
    for (int i = 0; i < kFieldCount; ++i) {
        const PlayerRecord record =
            g_playerList.m_Players[i]; // a copy: WritePlayer reads the file back into it
        g_playerList.WritePlayer(i, record);
    }
    ShowPlayerNames();
    return 1;
}

bool TitlePage::LaunchGame() {
    if (!game_) return false;
    SetCurrentDirectoryA("..");
    const std::string menuFolder = CurrentFolder();
    HINSTANCE started = ShellExecuteA(nullptr, "open", game_->exe.c_str(), menuFolder.c_str(),
                                      game_->path.c_str(), SW_SHOWNORMAL);
    if (reinterpret_cast<intptr_t>(started) > 32) return true;
    const std::string text = "The game could not be started: " + game_->exe;
    MessageBoxA(hwnd, text.c_str(), "Plovix Lobbit", MB_OK | MB_ICONERROR);
    SetCurrentDirectoryA(game_->path.c_str());
    return false;
}

int TitlePage::Frame(int) {
    if (!controls) return 1;
    int x = 0, y = 0, buttons = 0;
    g_mouseCursor.GetState(&x, &y, &buttons, nullptr, nullptr);
    controls->HandleMouse(x, y, buttons);
    controls->Draw();
    HandleFieldClicks(x, y, buttons);
    DrawFields();
    if (controls->WasClicked("SFX")) FlipSwitch("SFX", "SFX", sfx_);
    if (controls->WasClicked("Music")) FlipSwitch("Music", "Music", music_);
    const char* picture = controls->WasClicked("Credits")     ? ".\\title\\Credits.bmp"
                          : controls->WasClicked("HowToPlay") ? ".\\title\\HowToPlay.bmp"
                                                              : nullptr;
    if (picture) {
        if (!RunPicturePopup(picture)) return kStopValue;
        g_screenUpdater.ResetBackground();
    }
    if (controls->WasClicked("HighScores")) {
        if (!RunHallOfFame()) return kStopValue;
        g_screenUpdater.ResetBackground();
    }
    if (controls->WasClicked("Players")) {
        if (!RunPlayerEditor()) return kStopValue;
        g_screenUpdater.ResetBackground();
    }
    if (controls->WasClicked("Play")) {
        if (LaunchGame()) return kStopValue;
        return 1;
    }
    if (controls->WasClicked("Menu")) {
        SetCurrentDirectoryA("..");
        g_pageManager.SwitchTo("Lobbit");
        return 1;
    }
    if (controls->WasClicked("Exit")) return kStopValue;
    return Present();
}

int TitlePage::Present() {
    if (controls) controls->Draw();
    return Page::Present();
}
