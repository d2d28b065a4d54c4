#include "lobbit/text_field.h"

#include <cstring>

#include "framework/animation.h"
#include "framework/bitmap_font.h"
#include "framework/game_clock.h"
#include "lobbit/key_queue.h"

namespace {
constexpr int kBlinkMs = 500;
} // namespace

TextField::~TextField() {
    delete[] text;
    FreeFonts();
    delete cursor;
}

void TextField::FreeFonts() {
    if (!fontsShared)
        for (BitmapFont* font : fonts)
            delete font;
    fonts.clear();
}

void TextField::AllocText(int bytes) {
    delete[] text;
    text = nullptr;
    size = bytes > 0 ? bytes : 0;
    if (size > 0) text = new char[static_cast<size_t>(size)]();
    length = 0;
    blink = 1;
}

void TextField::SetText(const char* value) {
    if (!value || !text) return;
    const size_t n = std::strlen(value);
    if (n >= static_cast<size_t>(size)) return;
    std::memcpy(text, value, n + 1);
    length = static_cast<int>(n);
}

void TextField::SetRect(int atX, int atY, int w, int h) {
    x = atX;
    y = atY;
    width = w;
    height = h;
}

void TextField::SetOffset(int ox, int oy) {
    offsetX = ox;
    offsetY = oy;
}

void TextField::SetFocus(int flag) {
    if (!focus) g_keyQueue.Clear();
    focus = flag;
}

void TextField::SetSelected(int flag) {
    selected = flag;
}

void TextField::SetListMode(int flag) {
    listMode = flag;
}

void TextField::SetEditable(int flag) {
    editable = flag;
}

void TextField::AddFont(BitmapFont* font) {
    if (!font) return;
    height = font->height;
    fonts.push_back(font);
    fontsShared = 1;
}

int TextField::LoadFont(const char* file) {
    BitmapFont* font = new BitmapFont();
    if (!font->Load(file) && !font->surface) {
        delete font;
        return 0;
    }
    height = font->height;
    fonts.push_back(font);
    return 1;
}

void TextField::LoadCursor(const char* file) {
    delete cursor;
    cursor = new Animation();
    cursor->AddFrameFromFile(file);
    cursor->SetPosition(x + offsetX, y + offsetY);
    cursor->time = 0;
}

int TextField::HitTest(int px, int py) const {
    px -= offsetX;
    py -= offsetY;
    return px >= x && px <= x + width && py >= y && py <= y + height ? 1 : 0;
}

int TextField::HandleClick(int px, int py) {
    const int inside = HitTest(px, py);
    if (!listMode) {
        focus = inside;
    } else if (!inside) {
        focus = 0;
        selected = 0;
    } else if (selected && !focus) {
        focus = 1;
    } else {
        selected = 1;
        focus = 0;
    }
    return focus;
}

BitmapFont* TextField::DrawingFont() const {
    if (fonts.empty()) return nullptr;
    return selected && fonts.size() >= 2 ? fonts[1] : fonts[0];
}

void TextField::Draw(IDirectDrawSurface* target) {
    BitmapFont* font = DrawingFont();
    if (font && text) font->DrawText(target, text, x + offsetX, y + offsetY, 0, x + offsetX + width);
    if (!cursor) return;
    const int now = GetClockMs();
    if (now > cursor->time) {
        cursor->time = now + kBlinkMs;
        blink = 1 - blink;
    }
    if (editable && focus && blink == 1) {
        const int textWidth = font && text ? font->GetTextWidth(text) : 0;
        cursor->SetPosition(x + offsetX + textWidth, y + offsetY);
        cursor->DrawTo(target);
    }
}

void TextField::AppendChar(char ch) {
    if (!text || length + 1 >= size - 1) return;
    if (!fonts.empty() && fonts[0]->GetTextWidth(text) + fonts[0]->GetAdvance(ch) >= width) return;
    text[length++] = ch;
    text[length] = '\0';
}

void TextField::Backspace() {
    if (!text) return;
    if (length > 0) --length;
    text[length] = '\0';
}

int TextField::HandleKeys() {
    if (!focus || !editable) return 0;
    for (int code = g_keyQueue.Pop(); code != 0; code = g_keyQueue.Pop()) {
        const int ch = ScanCodeToChar(code);
        if (ch) {
            AppendChar(static_cast<char>(ch));
        } else if (code == kScanBackspace) {
            Backspace();
        } else if (code == kScanEnter) {
            focus = 0;
            return kScanEnter;
        } else if (code == kScanTab) {
            return kScanTab;
        }
    }
    return 0;
}
