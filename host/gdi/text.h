// Fonts and text output. Fonts are outline faces rasterised by FreeType without anti-aliasing: every
// text pixel is exactly the text colour, so text never blends into a colour key.
//
// Faces: requests for a fixed pitch (FIXED_PITCH or FF_MODERN) or a known monospaced name ("Courier
// New", "Courier", "Lucida Console") get Liberation Mono (or DejaVu Sans Mono); everything else, "Arial"
// included, gets Liberation Sans, metric-compatible with Arial (or DejaVu Sans when Liberation is not
// installed). Weights of FW_SEMIBOLD and above choose the bold face; italic chooses the italic face.
// Text bytes are Windows-1252 (the ANSI character set). Escapement, orientation, underline and
// strike-out are not drawn.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

// Weights.
#define FW_DONTCARE 0
#define FW_NORMAL   400
#define FW_SEMIBOLD 600
#define FW_BOLD     700

// Character set, precision and quality requests: accepted and ignored (text is always ANSI and
// unantialiased).
#define ANSI_CHARSET        0
#define DEFAULT_CHARSET     1
#define OUT_DEFAULT_PRECIS  0
#define OUT_STROKE_PRECIS   1
#define CLIP_DEFAULT_PRECIS 0
#define CLIP_STROKE_PRECIS  1
#define DEFAULT_QUALITY     0
#define DRAFT_QUALITY       1

// Pitch (low two bits) and family (high four bits) of CreateFontA's last numeric argument.
#define DEFAULT_PITCH  0
#define FIXED_PITCH    1
#define VARIABLE_PITCH 2
#define FF_DONTCARE    0x00
#define FF_SWISS       0x20
#define FF_MODERN      0x30

// Background modes.
#define TRANSPARENT 1
#define OPAQUE      2

// The result of a colour call on a bad DC.
#define CLR_INVALID 0xFFFFFFFFu

// A font's measures in pixels.
struct TEXTMETRICA {
    LONG tmHeight;          // cell height: ascent + descent
    LONG tmAscent;          // cell top to baseline
    LONG tmDescent;         // baseline to cell bottom
    LONG tmInternalLeading; // cell height minus the em height
    LONG tmExternalLeading; // extra line gap the face asks for
    LONG tmAveCharWidth;    // the face's average character width
    LONG tmMaxCharWidth;    // the widest glyph box
    LONG tmWeight;          // FW_NORMAL or FW_BOLD
};
typedef TEXTMETRICA TEXTMETRIC;

// Creates a font. height > 0 is the cell height (tmHeight equals it); height < 0 is the character (em)
// height, the cell being taller; 0 means 16. width 0 keeps the face's proportions, else the average
// character width. NULL when no usable face file is installed.
HOST_API HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                           DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                           DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);
#define CreateFont CreateFontA

// Fills metrics with the measures of dc's current font. FALSE for a bad DC or one without a font.
HOST_API BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
#define GetTextMetrics GetTextMetricsA

// The size of length characters of text in dc's font: the sum of their advances by the cell height.
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size);
#define GetTextExtentPoint32 GetTextExtentPoint32A

// Set the text colour, the background colour (OPAQUE mode) and the background mode; each returns the
// previous value (CLR_INVALID, or 0 for SetBkMode, when dc is bad or the mode unknown).
HOST_API COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF SetBkColor(HDC dc, COLORREF color);
HOST_API int SetBkMode(HDC dc, int mode);

// Draws length characters of text with the top-left of the text cell at (x, y): glyph pixels in the
// text colour converted to the target's format (16 bits: each channel truncated; 8 bits: the nearest
// palette entry), and in OPAQUE mode the cell (the text's extent) first filled with the background
// colour. Pixels outside the target are clipped. FALSE for a bad DC, a negative length or no font.
HOST_API BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
#define TextOut TextOutA
