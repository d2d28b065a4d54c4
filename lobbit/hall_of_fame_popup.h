// The hall of fame of the chosen game: its 20 best scores from hiscore.dat (in the game's folder, the
// current folder) in two columns of ten, with buttons to upload the best entry to the score service
// through the browser, to clear the table, and to go back.
#pragma once

#include <string>

#include "framework/popup.h"

class BitmapFont;
class HallOfFame;

// The mask combined with the uploaded score.
constexpr int kScoreMask = 0x3c6e1d7;

class HallOfFamePopup : public Popup {
  public:
    // gameName: the game's folder name, sent with the upload.
    explicit HallOfFamePopup(const char* gameName);
    // Frees the fonts and the table (the base destructor runs only the popup's own Leave).
    ~HallOfFamePopup() override;

    // Loads the fonts, the screen, the upload, clear and back buttons and the default button, and reads
    // hiscore.dat (ReadResult tells whether it was read).
    void Init() override;
    // The popup's Leave, then the fonts and the table go. Safe to call again.
    void Leave() override;
    // Once a pass: upload (the popup stays), clear (writes an empty table, result "clear"), back (result
    // "back"); then the scores are drawn. Returns 1.
    int CheckInput() override;
    // The names (up to their first colon) and scores onto the popup's picture, which is the screen
    // updater's background while the popup runs.
    void DrawScores();

    // 1 when Init read the file, 0 when it was missing or not a table of 20.
    int ReadResult() const { return readResult_; }
    // The address the upload opens for the current table.
    std::string UploadAddress() const;

  private:
    bool initializing_ = false;
    void FreeMembers();

    std::string gameName_;
    BitmapFont* fontA_ = nullptr;
    BitmapFont* fontB_ = nullptr;
    HallOfFame* table_ = nullptr;
    int readResult_ = 0;
};

// text with every byte a query value cannot carry raw written as "%" and two lower-case hex digits:
// space " # % ; < > ? [ \ ] ^ { | } ~, and also & = + (so a value cannot add or change query fields),
// control characters and bytes from 0x7f. ":", "@" and "/" stay as they are.
std::string UrlEscape(const std::string& text);

// The upload's query: "game=G&name=N&score=S" with G and N escaped on their own and S the score
// combined with kScoreMask, as a signed decimal.
std::string ScoreQuery(const std::string& gameName, const std::string& entryName, int score);
