// The editor of the current player's record: name, address and e-mail as three editable text fields
// and a yes/no toggle for the send flag. "enter" stores the fields into the record (result "play"),
// "remove" resets the player and writes it at once (result "remove"), "back" closes (result "back").
// Tab and Enter move the focus name -> address -> e-mail -> name.
#pragma once

#include "framework/popup.h"

class BitmapFont;
class TextField;
struct PlayerRecord;

class PlayerInfoPopup : public Popup {
  public:
    static constexpr int kFieldCount = 3;

    // player: the index of the player being edited (what "remove" resets).
    explicit PlayerInfoPopup(int player);
    // Frees the fonts and the fields (the base destructor runs only the popup's own Leave).
    ~PlayerInfoPopup() override;

    // Loads the fonts, the screen, the four buttons and the three fields; the name field gets the focus.
    void Init() override;
    // The popup's Leave, then the fonts and fields go. Safe to call again.
    void Leave() override;
    // Once a pass, in place of the popup's own checks: clicks, buttons, keys, and the fields drawn.
    // Returns 1.
    int Poll(int x, int y, int buttons) override;
    // The record edited: the fields show its texts, and a send value of exactly "N" shows "no".
    void LoadRecord(PlayerRecord* record);

    const TextField* GetField(int i) const { return i >= 0 && i < kFieldCount ? fields_[i] : nullptr; }
    int GetSendSwitch() const { return send_; }

  private:
    bool initializing_ = false;
    void FreeMembers();
    void StoreRecord();

    int player_;
    BitmapFont* fontA_ = nullptr;
    BitmapFont* fontB_ = nullptr;
    TextField* fields_[kFieldCount] = {};
    PlayerRecord* record_ = nullptr;
    int send_ = 1;
    int previousButtons_ = 0;
};
