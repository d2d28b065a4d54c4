#include "framework/bitmap_font.h"

#include <algorithm>
#include <cstring>

#include "framework/surface_helpers.h"
#include "quib/quib.h"

namespace {

// Longest text DrawText draws.
constexpr int kMaxDrawnChars = 255;

// Reads whole columns of a locked 8- or 16-bit surface and tells whether they hold only the key.
class ColumnScanner {
  public:
    ColumnScanner(IDirectDrawSurface* surface, int key) : surface_(surface), key_(key) {
        desc_.dwSize = sizeof desc_;
        pixels_ = static_cast<const BYTE*>(LockSurface(surface, &desc_));
        bytesPerPixel_ = int(desc_.ddpfPixelFormat.dwRGBBitCount / 8);
        if (pixels_ && bytesPerPixel_ != 1 && bytesPerPixel_ != 2) {
            UnlockSurface(surface_);
            pixels_ = nullptr;
        }
    }
    ~ColumnScanner() {
        if (pixels_) UnlockSurface(surface_);
    }
    ColumnScanner(const ColumnScanner&) = delete;
    ColumnScanner& operator=(const ColumnScanner&) = delete;

    bool ok() const { return pixels_ != nullptr; }
    int width() const { return int(desc_.dwWidth); }

    // True when every pixel of column x equals the key.
    bool IsKeyColumn(int x) const {
        for (int y = 0; y < int(desc_.dwHeight); ++y)
            if (PixelAt(x, y) != key_) return false;
        return true;
    }

  private:
    int PixelAt(int x, int y) const {
        const BYTE* row = pixels_ + ptrdiff_t(y) * desc_.lPitch;
        if (bytesPerPixel_ == 1) return row[x];
        WORD value;
        std::memcpy(&value, row + 2 * x, sizeof value);
        return value;
    }

    IDirectDrawSurface* surface_;
    int key_;
    DDSURFACEDESC desc_{};
    const BYTE* pixels_ = nullptr;
    int bytesPerPixel_ = 0;
};

// Finds the glyphs left to right: each starts at the first column holding a non-key pixel and ends
// (exclusive) at the next all-key column or the bitmap's edge. Returns the glyphs found, all 94 when the
// bitmap holds them.
int ScanGlyphs(const ColumnScanner& scan, BitmapFont::Glyph* glyphs) {
    const int w = scan.width();
    int x = 0;
    for (int i = 0; i < kFontGlyphCount; ++i) {
        if (x > w) return i;
        int start = x;
        while (start < w && scan.IsKeyColumn(start))
            ++start;
        if (start >= w) return i;
        int end = start + 1;
        while (end < w && !scan.IsKeyColumn(end))
            ++end;
        glyphs[i] = {start, end, end - start};
        x = end + 1;
    }
    return kFontGlyphCount;
}

} // namespace

BitmapFont::BitmapFont() {
    ClearGlyphs();
}

BitmapFont::~BitmapFont() {
    ReplaceSurface(nullptr);
}

void BitmapFont::ClearGlyphs() {
    for (Glyph& glyph : glyphs)
        glyph = {-1, -1, 0};
}

void BitmapFont::ReplaceSurface(IDirectDrawSurface* newSurface) {
    if (surface) surface->Release();
    surface = newSurface;
}

const BitmapFont::Glyph* BitmapFont::FindGlyph(unsigned char c) const {
    if (c < kFontFirstChar || c >= kFontFirstChar + kFontGlyphCount) return nullptr;
    const Glyph& glyph = glyphs[c - kFontFirstChar];
    return glyph.start < 0 ? nullptr : &glyph;
}

int BitmapFont::Load(const char* file) {
    IDirectDrawSurface* loaded = file ? QuibLoadBitmap(file, 16) : nullptr;
    if (!loaded) return 0;
    // A new bitmap: nothing of an earlier font may survive into it.
    ReplaceSurface(loaded);
    ClearGlyphs();
    int w = 0;
    GetSurfaceSize(surface, &w, &height);
    ::SetColorKey(surface, 0, 0, 255);
    const int key = RGBToPixel(surface, 0, 0, 255);
    ColumnScanner scan(surface, key);
    if (!scan.ok() || ScanGlyphs(scan, glyphs) < kFontGlyphCount) return 0;
    int widest = 0;
    for (const Glyph& glyph : glyphs)
        widest = std::max(widest, glyph.width);
    spaceWidth = int(widest * 0.5);
    spacing = int(float(widest) * 0.1f);
    return 1;
}

IDirectDrawSurface* BitmapFont::LoadFixed(const char* file, int newCellWidth, int newHeight) {
    ReplaceSurface(file ? QuibLoadBitmap(file, 16) : nullptr);
    ClearGlyphs();
    cellWidth = newCellWidth;
    height = newHeight;
    if (!surface) return nullptr;
    ::SetColorKey(surface, 0, 0, 0);
    if (cellWidth > 0) {
        for (int i = 0; i < kFontGlyphCount; ++i)
            glyphs[i] = {i * cellWidth, (i + 1) * cellWidth, cellWidth};
    }
    return surface;
}

int BitmapFont::DrawChar(IDirectDrawSurface* target, char c, int x, int y) {
    if (!surface) return 0;
    const unsigned char code = static_cast<unsigned char>(c);
    if (code == ' ') return spaceWidth;
    const Glyph* glyph = FindGlyph(code);
    if (!glyph) return 0;
    if (target) {
        RECT dest{x, y, x + glyph->width, y + height};
        RECT source{glyph->start, 0, glyph->end, height};
        // Unclipped on purpose: the blit refuses a glyph that is partly outside the target.
        target->Blt(&dest, surface, &source, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
    }
    return glyph->width + spacing;
}

int BitmapFont::GetAdvance(char c) const {
    const unsigned char code = static_cast<unsigned char>(c);
    if (code < kFontFirstChar) return spaceWidth;
    const Glyph* glyph = FindGlyph(code);
    return (glyph ? glyph->width : 0) + spacing;
}

int BitmapFont::GetTextWidth(const char* text) const {
    if (!text) return 0;
    int width = 0;
    for (const char* p = text; *p; ++p)
        width += GetAdvance(*p);
    return width;
}

int BitmapFont::DrawText(IDirectDrawSurface* target, const char* text, int x, int y, int align, int maxX) {
    if (!text) return 1;
    int length = 0;
    while (length < kMaxDrawnChars && text[length])
        ++length;
    if (align == 0) {
        for (int i = 0; i < length; ++i) {
            if (maxX != -1 && x + GetAdvance(text[i]) >= maxX) break;
            x += DrawChar(target, text[i], x, y);
        }
    } else if (align == 1) {
        for (int i = length - 1; i >= 0; --i) {
            x -= GetAdvance(text[i]);
            DrawChar(target, text[i], x, y);
        }
    }
    return 1;
}

void BitmapFont::SetSpaceWidth(int width) {
    spaceWidth = width;
}

void BitmapFont::SetSpacing(int gap) {
    spacing = gap;
}
