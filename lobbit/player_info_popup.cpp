#include "lobbit/player_info_popup.h"

#include <cstring>

#include "framework/bitmap_font.h"
#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/playerlist.h"
#include "framework/screen_updater.h"
#include "lobbit/key_queue.h"
#include "lobbit/text_field.h"
#include "lobbit/title_page.h"

namespace {

constexpr int kFieldBytes = kPlayerFieldBytes;
// Fields in screen coordinates (the popup is not placed yet when they are made).
constexpr int kFieldX = 50;
constexpr int kFieldY[PlayerInfoPopup::kFieldCount] = {270, 336, 404};
constexpr int kFieldWidth = 580;
constexpr int kFieldHeight = 26;

Button* MakeButton(int x, int y, const char* name, const char* image) {
    Button* button = new Button(x, y);
    button->SetName(name);
    button->LoadStates(image, 2, 0);
    return button;
}

// Copies a field's text into a record's buffer of kPlayerFieldBytes, cut and terminated.
void CopyField(char* out, const TextField* field) {
    const char* text = field && field->text ? field->text : "";
    std::strncpy(out, text, kPlayerFieldBytes - 1);
    out[kPlayerFieldBytes - 1] = '\0';
}

} // namespace

PlayerInfoPopup::PlayerInfoPopup(int player) : player_(player >= 0 && player < kPlayerCount ? player : 0) {}

PlayerInfoPopup::~PlayerInfoPopup() {
    FreeMembers();
}

void PlayerInfoPopup::FreeMembers() {
    for (TextField*& field : fields_) {
        delete field;
        field = nullptr;
    }
    delete fontA_;
    fontA_ = nullptr;
    delete fontB_;
    fontB_ = nullptr;
}

void PlayerInfoPopup::Init() {
    Popup::Init();
    // The popup's own operations (AddImage) call Init again to make sure its lists exist: that
    // inner call must not load everything a second time.
    if (initializing_) return;
    initializing_ = true;
    FreeMembers();
    fontA_ = new BitmapFont();
    fontA_->Load("..\\n_font.bmp");
    fontA_->SetSpacing(1);
    fontB_ = new BitmapFont();
    fontB_->Load("..\\h_font.bmp");
    fontB_->SetSpacing(3);
    AddImage("..\\PlayerInfo.bmp", "playerinfo");
    AddControl(MakeButton(474, 471, "enter", "..\\EnterButton.bmp"));
    AddControl(MakeButton(360, 471, "remove", "..\\RemoveButton.bmp"));
    AddControl(MakeButton(608, 489, "back", "..\\BackButton.bmp"));
    Button* yesno = MakeButton(37, 486, "yesno", "..\\yesno.bmp");
    yesno->SetSingleFrame(1);
    yesno->SetRegisterRect(1);
    AddControl(yesno);
    for (int i = 0; i < kFieldCount; ++i) {
        TextField* field = new TextField();
        field->AllocText(kFieldBytes);
        field->AddFont(fontB_);
        field->AddFont(fontA_);
        field->LoadCursor("..\\blockcursor.bmp");
        field->SetOffset(0, 0);
        field->SetListMode(0);
        field->SetRect(kFieldX, kFieldY[i], kFieldWidth, kFieldHeight);
        fields_[i] = field;
    }
    fields_[0]->SetFocus(1);
    send_ = 1;
    previousButtons_ = 0;
    initializing_ = false;
}

void PlayerInfoPopup::Leave() {
    Popup::Leave();
    FreeMembers();
}

void PlayerInfoPopup::LoadRecord(PlayerRecord* record) {
    record_ = record;
    if (!record) return;
    if (fields_[0]) fields_[0]->SetText(record->name);
    if (fields_[1]) fields_[1]->SetText(record->address);
    if (fields_[2]) fields_[2]->SetText(record->email);
    send_ = std::strcmp(record->send, "N") == 0 ? 0 : 1;
    Button* yesno = controls ? controls->Find("yesno") : nullptr;
    if (!send_ && yesno) yesno->SwapStateImages();
}

void PlayerInfoPopup::StoreRecord() {
    if (!record_) return;
    CopyField(record_->name, fields_[0]);
    CopyField(record_->address, fields_[1]);
    CopyField(record_->email, fields_[2]);
    std::strcpy(record_->send, send_ ? "Y" : "N");
}

int PlayerInfoPopup::Poll(int x, int y, int buttons) {
    if (buttons != previousButtons_ && (buttons & 1)) {
        bool anyFocused = false;
        for (TextField* field : fields_)
            if (field && field->HandleClick(x, y)) anyFocused = true;
        if (!anyFocused && fields_[0]) fields_[0]->SetFocus(1);
    }
    previousButtons_ = buttons;
    if (controls && controls->WasClicked("back")) SetResult("back");
    if (controls && controls->WasClicked("remove")) {
        g_playerList.ResetPlayer(player_);
        SetResult("remove");
    }
    if (controls && controls->WasClicked("enter")) {
        StoreRecord();
        SetResult("play");
    }
    if (controls && controls->WasClicked("yesno")) {
        if (Button* yesno = controls->Find("yesno")) yesno->SwapStateImages();
        send_ = 1 - send_;
    }
    for (int i = 0; i < kFieldCount; ++i) {
        if (!fields_[i]) continue;
        const int key = fields_[i]->HandleKeys();
        if (key == kScanTab || key == kScanEnter) {
            fields_[i]->SetFocus(0);
            TextField* next = fields_[(i + 1) % kFieldCount];
            if (next) next->SetFocus(1);
            break; // the next field starts with an empty queue
        }
    }
    IDirectDrawSurface* back = g_screenUpdater.GetBackBuffer();
    for (TextField* field : fields_) {
        if (!field) continue;
        field->Draw(back);
        g_screenUpdater.AddRect(field->x, field->y, field->width, field->height, 1, 0x1000);
    }
    return 1;
}
