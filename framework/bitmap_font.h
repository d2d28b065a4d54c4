// Text drawn with glyphs cut from one bitmap: a single row of the 94 printable characters "!" to "~"
// in character order. Load finds each glyph's edges by scanning for the blue separator columns, so
// glyphs may have any width; LoadFixed takes a strip of equal cells instead. Glyphs are blitted with
// the source colour key and are never clipped: a glyph that does not lie wholly inside the target is
// not drawn.
#pragma once

#include "host/ddraw/ddraw.h"

// The characters a font holds: "!" (33) to "~" (126).
constexpr int kFontFirstChar = 33;
constexpr int kFontGlyphCount = 94;

class BitmapFont {
  public:
    // One glyph's columns in the bitmap: start, end (exclusive) and width; -1, -1, 0 when missing.
    struct Glyph {
        int start;
        int end;
        int width;
    };

    IDirectDrawSurface* surface = nullptr; // the glyph bitmap, owned
    int cellWidth = 0;                     // LoadFixed's cell width
    int height = 0;                        // glyph height: the bitmap's height
    int spaceWidth = 0;                    // advance of the space character
    int spacing = 0;                       // gap after every drawn glyph
    Glyph glyphs[kFontGlyphCount];         // glyph i is character 33 + i
    int reserved = 0;

    // No bitmap; every glyph missing.
    BitmapFont();
    // Releases the bitmap.
    ~BitmapFont();
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // Loads a proportional font: glyphs separated by at least one all-blue column. The space is half
    // the widest glyph and the spacing a tenth of it. 0 when the file cannot be loaded (the font stays
    // as it was) or when the bitmap ends before all 94 glyphs are found (the glyphs found stay usable,
    // the rest are missing); 1 otherwise.
    int Load(const char* file);
    // Loads a fixed font: glyph i is the cell i x cellWidth .. (i + 1) x cellWidth, keyed black. The
    // space width and spacing stay as they are. Returns the bitmap; NULL when the file cannot be loaded,
    // which leaves the font without a bitmap and without glyphs.
    IDirectDrawSurface* LoadFixed(const char* file, int cellWidth, int height);

    // Draws character c with its top-left at (x, y) and returns the advance: the space width for a
    // space (nothing drawn); 0 for other characters outside "!".."~", a missing glyph, or no bitmap;
    // else the glyph's width plus the spacing, also when the glyph was not wholly inside the target and
    // so was not drawn.
    int DrawChar(IDirectDrawSurface* target, char c, int x, int y);
    // How far text moves on after c: the space width for anything below "!" (control characters too),
    // else the glyph's width plus the spacing (just the spacing for a missing glyph or beyond "~").
    int GetAdvance(char c) const;
    // The sum of GetAdvance over the text; 0 for NULL.
    int GetTextWidth(const char* text) const;
    // Draws the first 255 characters of text. align 0: left-aligned from x; when maxX is not -1 it stops
    // before the first character whose advance would reach maxX. align 1: right-aligned so the text ends
    // at x (maxX ignored). Any other align draws nothing. Returns 1.
    int DrawText(IDirectDrawSurface* target, const char* text, int x, int y, int align, int maxX);
    void SetSpaceWidth(int width);
    void SetSpacing(int gap);

  private:
    // Marks every glyph missing.
    void ClearGlyphs();
    // Releases the bitmap and takes newSurface in its place.
    void ReplaceSurface(IDirectDrawSurface* newSurface);
    // The glyph of character c, or nullptr outside "!".."~" or when missing.
    const Glyph* FindGlyph(unsigned char c) const;
};
