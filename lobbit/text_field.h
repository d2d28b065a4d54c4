// A single-line text field drawn with bitmap fonts. In list mode (the title page's player names) clicks
// select and focus it; editable and focused (the player editor) it takes characters, Backspace, Tab and
// Enter from the key queue and shows a blinking block cursor. The text lives in a buffer of a fixed size
// given by AllocText; every change is bounded by it.
#pragma once

#include <vector>

#include "host/ddraw/ddraw.h"

class Animation;
class BitmapFont;

class TextField {
  public:
    int x = 0, y = 0;             // top-left
    int offsetX = 0, offsetY = 0; // added when drawing (a popup's position)
    int width = 0, height = 0;
    char* text = nullptr;           // size bytes, always terminated
    std::vector<BitmapFont*> fonts; // font 0 normal, font 1 (when present) selected
    int size = 0;
    int length = 0;
    Animation* cursor = nullptr; // its time field holds the next blink time
    int blink = 0;
    int focus = 0;
    int selected = 0;
    int fontsShared = 0;
    int listMode = 1;
    int editable = 1;

    TextField() = default;
    // Frees the text and the cursor, and the fonts unless they are shared.
    ~TextField();
    TextField(const TextField&) = delete;
    TextField& operator=(const TextField&) = delete;

    // A zero-filled buffer of size bytes (an earlier one is freed); length 0, blink 1.
    void AllocText(int bytes);
    // Copies value when it fits the buffer with its terminator; a longer text (or NULL) changes nothing.
    void SetText(const char* value);
    void SetRect(int atX, int atY, int w, int h);
    void SetOffset(int ox, int oy);
    // Gaining the focus empties the key queue first, so keys typed before are not taken.
    void SetFocus(int flag);
    void SetSelected(int flag);
    void SetListMode(int flag);
    void SetEditable(int flag);
    // Appends a font owned elsewhere; the height becomes its height.
    void AddFont(BitmapFont* font);
    // Loads a font the field owns; the height becomes its height. 0 when it cannot be loaded.
    int LoadFont(const char* file);
    // The block cursor picture (one frame).
    void LoadCursor(const char* file);
    // Whether (px, py), less the draw offset, lies in the rectangle, edges included.
    int HitTest(int px, int py) const;
    // A click: in list mode the first click selects, the second focuses, the third unfocuses; else the
    // click focuses the field when it hits it. Returns the focus afterwards.
    int HandleClick(int px, int py);
    // Draws the text (cut before the character that would reach the right edge) and, when editable and
    // focused, the blinking cursor after it.
    void Draw(IDirectDrawSurface* target);
    // Appends ch when the buffer and the field's width have room for it.
    void AppendChar(char ch);
    void Backspace();
    // When editable and focused: takes every queued key (characters, Backspace); returns kScanTab or
    // kScanEnter (which also drops the focus) when one comes, else 0. Shifted Tab and Enter are dropped.
    int HandleKeys();

  private:
    BitmapFont* DrawingFont() const;
    void FreeFonts();
};
