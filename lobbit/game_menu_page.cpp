#include "lobbit/game_menu_page.h"

#include <cstdio>
#include <cstring>

#include "framework/animation.h"
#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/game_clock.h"
#include "framework/image.h"
#include "framework/mouse_cursor.h"
#include "framework/page_manager.h"
#include "framework/popup.h"
#include "framework/screen_updater.h"
#include "host/win/handles.h"
#include "host/win/last_error.h"
#include "host/win/paths.h"
#include "host/win/shell.h"
#include "host/win/window.h"
#include "lobbit/title_page.h"
#include "lobbit/web_addresses.h"

GameMenuPage g_gameMenuPage;

namespace {

constexpr int kStopValue = 7;
constexpr int kSlotX[3] = {14, 271, 528};
constexpr int kSlotY[4] = {140, 247, 355, 461};
constexpr int kPageNumberRightX = 716;
constexpr int kPageNumberY = 30;
constexpr const char* kButtonImage = "LobbitButton.bmp";

// The search DirScanFirst started, its folder prefix and its pending first result.
HANDLE g_search = INVALID_HANDLE_VALUE;
std::string g_searchPrefix;
WIN32_FIND_DATAA g_found{};
bool g_firstPending = false;

void CloseSearch() {
    if (g_search != INVALID_HANDLE_VALUE) FindClose(g_search);
    g_search = INVALID_HANDLE_VALUE;
    g_firstPending = false;
}

// The current folder, whatever its length ("" when it cannot be read).
std::string CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return "";
    std::string folder(needed, '\0');
    const DWORD length = GetCurrentDirectoryA(needed, folder.data());
    if (length == 0 || length >= needed) return "";
    folder.resize(length);
    return folder;
}

// A folder that can be a game: a folder, neither hidden nor a system one (read-only installs count),
// whose name does not begin with a dot.
bool IsCandidateFolder(const WIN32_FIND_DATAA& data) {
    constexpr DWORD kSystem = 0x04;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | kSystem)) return false;
    return data.cFileName[0] != '.' && data.cFileName[0] != '\0';
}

bool FileOpens(const std::string& path) {
    FILE* file = HostOpenFile(path.c_str(), "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

Button* MakeButton(int x, int y, const char* name, const char* image, int states) {
    Button* button = new Button(x, y);
    button->SetName(name);
    button->LoadStates(image, states, 0);
    return button;
}

int SlotX(int slot) {
    return kSlotX[slot % 3];
}

int SlotY(int slot) {
    return kSlotY[slot / 3];
}

} // namespace

GameEntry::~GameEntry() {
    delete button;
}

WIN32_FIND_DATAA* DirScanFirst(const char* pattern) {
    CloseSearch();
    if (!pattern) return nullptr;
    const std::string text = pattern;
    const size_t split = text.find_last_of("/\\");
    g_searchPrefix = split == std::string::npos ? "" : text.substr(0, split + 1);
    g_search = FindFirstFileA(pattern, &g_found);
    if (g_search == INVALID_HANDLE_VALUE) return nullptr;
    g_firstPending = true;
    return &g_found;
}

WIN32_FIND_DATAA* DirScanNext(std::string* out) {
    if (g_search == INVALID_HANDLE_VALUE) return nullptr;
    if (g_firstPending) {
        g_firstPending = false;
    } else if (!FindNextFileA(g_search, &g_found)) {
        CloseSearch();
        return nullptr;
    }
    if (out) *out = g_searchPrefix + g_found.cFileName;
    return &g_found;
}

void DrawNumber(Animation* digits, int rightX, int y, const char* text, IDirectDrawSurface* target) {
    if (!digits || !text) return;
    const int cell = digits->frameWidth / 10;
    int x = rightX - cell * static_cast<int>(std::strlen(text));
    for (const char* c = text; *c; ++c, x += cell) {
        if (*c < '0' || *c > '9') continue;
        digits->SetCurrentFrame(*c - '0');
        digits->SetPosition(x, y);
        digits->DrawTo(target);
    }
}

GameMenuPage::GameMenuPage() : Page("Lobbit") {}

GameMenuPage::~GameMenuPage() {
    delete digits_;
    delete collect_;
    FreeGames();
}

const GameEntry* GameMenuPage::GetGame(int i) const {
    return i >= 0 && i < GetGameCount() ? games_[static_cast<size_t>(i)] : nullptr;
}

void GameMenuPage::FreeGames() {
    for (GameEntry* game : games_)
        delete game;
    games_.clear();
}

int GameMenuPage::FindGames() {
    // The title page may still point at an entry of the old list: it is given a new one before it is
    // entered again.
    FreeGames();
    const std::string folder = CurrentFolder();
    if (folder.empty()) return 0;
    for (WIN32_FIND_DATAA* found = DirScanFirst((folder + "\\*").c_str()); found;
         found = DirScanNext(nullptr)) {
        if (!IsCandidateFolder(*found)) continue;
        const std::string path = folder + "\\" + found->cFileName;
        if (!FileOpens(path + "\\" + kButtonImage)) continue;
        GameEntry* game = new GameEntry();
        game->path = path;
        game->name = found->cFileName;
        game->exe = game->name + ".exe";
        game->button = new Animation();
        game->button->AddFrameFromFile((path + "\\" + kButtonImage).c_str());
        games_.push_back(game);
    }
    CloseSearch();
    return GetGameCount();
}

void GameMenuPage::CreateControls() {
    AddControl(MakeButton(638, 19, "left", "PageArrowsLeft.bmp", 2));
    AddControl(MakeButton(739, 19, "right", "PageArrowsRight.bmp", 2));
    AddControl(MakeButton(637, 89, "help", "Info.bmp", 2));
    AddControl(MakeButton(718, 89, "exit", "SmallExit.bmp", 2));
    for (int slot = 0; slot < kGridSlots; ++slot) {
        char buttonName[16];
        std::snprintf(buttonName, sizeof buttonName, "button%d", slot + 1);
        Button* button = MakeButton(SlotX(slot), SlotY(slot), buttonName, "GameButton.bmp", 3);
        button->SetEnabled(0);
        AddControl(button);
    }
}

void GameMenuPage::Enter(IDirectDraw* dd, IDirectDrawSurface* back) {
    Page::Enter(dd, back);
    Image* background = AddImage("background.bmp");
    Image* clean = AddImage("background.bmp");
    g_screenUpdater.SetBackground(background ? background->GetSurface() : nullptr);
    g_screenUpdater.SetCleanBackground(clean ? clean->GetSurface() : nullptr);
    g_screenUpdater.ResetBackground();
    CreateControls();
    StopCountdown();
    delete digits_;
    digits_ = new Animation();
    digits_->LoadStrip("PageNumbers.bmp", 10, 0);
    pageIndex_ = 0;
    FindGames();
    delete collect_;
    collect_ = new Animation();
    collect_->AddFrameFromFile("CollectButton.bmp");
    const int collectSlot = GetGameCount() % kGridSlots;
    collect_->SetPosition(SlotX(collectSlot), SlotY(collectSlot));
    UpdateSlots();
}

void GameMenuPage::Leave() {
    Page::Leave();
    delete digits_;
    digits_ = nullptr;
    delete collect_;
    collect_ = nullptr;
}

int GameMenuPage::HandleMessage(HWND, UINT, WPARAM, LPARAM) {
    return 1;
}

void GameMenuPage::UpdateSlots() {
    if (!controls) return;
    for (int slot = 0; slot < kGridSlots; ++slot) {
        char buttonName[16];
        std::snprintf(buttonName, sizeof buttonName, "button%d", slot + 1);
        Button* button = controls->Find(buttonName);
        const int index = pageIndex_ * kGridSlots + slot;
        if (button) button->SetEnabled(index <= GetGameCount() ? 1 : 0); // a game, or the collect slot
    }
}

void GameMenuPage::RunInfoPopup(int& result) {
    Popup* info = new Popup();
    info->Init();
    info->AddImage("infoscreen.bmp", "info");
    info->AddControl(MakeButton(689, 370, "back", "backbutton.bmp", 2));
    info->SetPosition(-1, -1); // centred; the button follows the popup's origin
    const int ran = info->Run(nullptr, nullptr);
    delete info;
    if (ran == 0) {
        result = kStopValue;
        return;
    }
    g_screenUpdater.ResetBackground();
}

void GameMenuPage::OpenMakerSite() {
    ShellExecuteA(nullptr, "open", kMakerSiteAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

int GameMenuPage::Frame(int) {
    if (!controls) return 1;
    int x = 0, y = 0, buttons = 0;
    g_mouseCursor.GetState(&x, &y, &buttons, nullptr, nullptr);
    controls->HandleMouse(x, y, buttons);
    controls->Draw();
    if (controls->WasClicked("exit")) return kStopValue;
    if (controls->WasClicked("help")) {
        int result = 1;
        RunInfoPopup(result);
        if (result == kStopValue) return kStopValue;
    }
    if (controls->WasClicked("left") && pageIndex_ > 0) {
        --pageIndex_;
        UpdateSlots();
        g_screenUpdater.ResetBackground();
    }
    if (controls->WasClicked("right") && GetGameCount() >= (pageIndex_ + 1) * kGridSlots) {
        ++pageIndex_;
        UpdateSlots();
        g_screenUpdater.ResetBackground();
    }
    for (int slot = 0; slot < kGridSlots; ++slot) {
        char buttonName[16];
        std::snprintf(buttonName, sizeof buttonName, "button%d", slot + 1);
        if (!controls->WasClicked(buttonName)) continue;
        const int index = pageIndex_ * kGridSlots + slot;
        if (index < GetGameCount())
            SelectGame(index);
        else
            OpenMakerSite();
        return 1;
    }
    return Present();
}

int GameMenuPage::Present() {
    IDirectDrawSurface* background = g_screenUpdater.GetBackground();
    char number[16];
    std::snprintf(number, sizeof number, "%d", pageIndex_ + 1);
    DrawNumber(digits_, kPageNumberRightX, kPageNumberY, number, background);
    const int first = pageIndex_ * kGridSlots;
    for (int slot = 0; slot < kGridSlots && first + slot < GetGameCount(); ++slot) {
        Animation* picture = games_[static_cast<size_t>(first + slot)]->button;
        if (!picture) continue;
        picture->SetPosition(SlotX(slot), SlotY(slot));
        picture->DrawTo(background);
    }
    const int count = GetGameCount();
    if (collect_ && first <= count && count < first + kGridSlots) collect_->DrawTo(background);
    if (controls) controls->Draw();
    return Page::Present();
}

void GameMenuPage::SelectGame(int i) {
    if (i < 0 || i >= GetGameCount()) return;
    g_titlePage.SetGame(games_[static_cast<size_t>(i)]);
    g_pageManager.SwitchTo("title");
}

void GameMenuPage::SelectByCommandLine(const char* text) {
    if (!text || !*text) return;
    const size_t n = std::strlen(text);
    int chosen = -1;
    for (int i = 0; i < GetGameCount(); ++i) {
        const GameEntry& game = *games_[static_cast<size_t>(i)];
        if (game.exe == std::string(text) + ".exe" || game.name == text) {
            chosen = i;
            break;
        }
        if (game.exe.compare(0, n, text) == 0) chosen = i;
    }
    if (chosen >= 0) SelectGame(chosen);
}
