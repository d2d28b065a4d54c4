#include "lobbit/hall_of_fame_popup.h"

#include <cstdio>
#include <cstring>

#include "framework/bitmap_font.h"
#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/halloffame.h"
#include "framework/screen_updater.h"
#include "host/win/shell.h"
#include "host/win/window.h"
#include "lobbit/web_addresses.h"

namespace {

constexpr const char* kScoreFile = "hiscore.dat";
constexpr int kRows = 10;
constexpr int kFirstRowY = 275;
constexpr int kRowHeight = 26;
constexpr int kNameX = 56;
constexpr int kScoreX = 256;
constexpr int kSecondNameDx = 334; // the second column lies right of the popup's left edge
constexpr int kSecondScoreDx = 534;

bool NeedsEscape(unsigned char c) {
    return c < 0x21 || c >= 0x7f || std::strchr("\"#%;<>?[\\]^{|}~&=+", c) != nullptr;
}

Button* MakeButton(int x, int y, const char* name, const char* image) {
    Button* button = new Button(x, y);
    button->SetName(name);
    button->LoadStates(image, 2, 0);
    return button;
}

// The entry's name as shown: the text before its first colon.
std::string ShownName(const char* name) {
    std::string shown(name, strnlen(name, kHallOfFameNameBytes));
    const size_t colon = shown.find(':');
    if (colon != std::string::npos) shown.resize(colon);
    return shown;
}

} // namespace

std::string UrlEscape(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() * 3);
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (NeedsEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string ScoreQuery(const std::string& gameName, const std::string& entryName, int score) {
    char masked[16];
    std::snprintf(masked, sizeof masked, "%d", score ^ kScoreMask);
    return "game=" + UrlEscape(gameName) + "&name=" + UrlEscape(entryName) + "&score=" + masked;
}

HallOfFamePopup::HallOfFamePopup(const char* gameName) : gameName_(gameName ? gameName : "") {}

HallOfFamePopup::~HallOfFamePopup() {
    FreeMembers();
}

void HallOfFamePopup::FreeMembers() {
    delete fontA_;
    fontA_ = nullptr;
    delete fontB_;
    fontB_ = nullptr;
    delete table_;
    table_ = nullptr;
}

void HallOfFamePopup::Init() {
    Popup::Init();
    // The popup's own operations (AddImage) call Init again to make sure its lists exist: that
    // inner call must not load everything a second time.
    if (initializing_) return;
    initializing_ = true;
    FreeMembers();
    fontA_ = new BitmapFont();
    fontA_->Load("..\\HallBlackFont.bmp");
    fontA_->SetSpacing(1);
    fontB_ = new BitmapFont();
    fontB_->Load("..\\HallPurpleFont.bmp");
    fontB_->SetSpacing(1);
    AddImage("..\\HallOfFameScreen.bmp", "halloffame");
    AddControl(MakeButton(552, 88, "upload", "..\\UploadButton.bmp"));
    AddControl(MakeButton(552, 149, "clear", "..\\ClearScores.bmp"));
    AddControl(MakeButton(595, 220, "back", "..\\backbutton.bmp"));
    AddDefaultButton(); // after the others, so a click on them finds them first
    table_ = new HallOfFame();
    table_->Allocate(kHallOfFameEntries);
    readResult_ = table_->Read(kScoreFile);
    // A name read from disk is cut at its last byte, whatever the file held.
    for (int i = 0; i < table_->GetCount(); ++i)
        table_->GetEntries()[i].name[kHallOfFameNameBytes - 1] = '\0';
    initializing_ = false;
}

void HallOfFamePopup::Leave() {
    Popup::Leave();
    FreeMembers();
}

std::string HallOfFamePopup::UploadAddress() const {
    const HallOfFameEntry* best = table_ && table_->GetCount() > 0 ? &table_->GetEntries()[0] : nullptr;
    const std::string player = best ? std::string(best->name, strnlen(best->name, kHallOfFameNameBytes)) : "";
    return std::string(kScoreServicePrefix) + ScoreQuery(gameName_, player, best ? best->score : 0);
}

int HallOfFamePopup::CheckInput() {
    if (controls && controls->WasClicked("upload")) {
        const std::string address = UploadAddress();
        ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    if (controls && controls->WasClicked("clear")) {
        if (table_) {
            table_->Allocate(kHallOfFameEntries);
            table_->Write(kScoreFile);
        }
        SetResult("clear");
    }
    if (controls && controls->WasClicked("back")) SetResult("back");
    DrawScores();
    return 1;
}

void HallOfFamePopup::DrawScores() {
    IDirectDrawSurface* target = g_screenUpdater.GetBackground();
    if (!table_ || !target || !fontA_ || !fontB_) return;
    const HallOfFameEntry* entries = table_->GetEntries();
    for (int i = 0; i < table_->GetCount() && i < 2 * kRows; ++i) {
        if (entries[i].name[0] == '\0') continue;
        const int row = i % kRows;
        const int y = kFirstRowY + kRowHeight * row;
        const int nameX = i < kRows ? kNameX : rect.left + kSecondNameDx;
        const int scoreX = i < kRows ? kScoreX : rect.left + kSecondScoreDx;
        BitmapFont* font = row % 2 == 0 ? fontB_ : fontA_;
        char score[16];
        std::snprintf(score, sizeof score, "%d", static_cast<int>(entries[i].score));
        font->DrawText(target, ShownName(entries[i].name).c_str(), nameX, y, 0, -1);
        font->DrawText(target, score, scoreX, y, 0, -1);
    }
}
