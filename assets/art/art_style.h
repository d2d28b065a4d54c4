// The look of the game: its colours, the cell and ball sizes the art is drawn for, and the helpers
// every picture of the game shares (the logo, balls, stone textures, framed panels).
#pragma once

#include <string>

#include "assets/common/relief.h"
#include "assets/common/stroke_font.h"

namespace art {

// Geometry shared with setup.ini: 24-pixel cells, 20-pixel balls.
constexpr int kCell = 24;
constexpr int kBallDiameter = 20;
constexpr float kBallRadius = kBallDiameter / 2.0f;

// Ball colours in the game's tile order: 0 blue, 1 red, 2 green, 3 yellow, 4 grey (extra balls).
constexpr int kBallColours = 5;
Rgb BallColour(int colour);
// The HUD's order uses red, green, blue, yellow: the tile colour of order slot k.
int OrderColourToTile(int k);

// Palette of the surroundings.
constexpr Rgb kPanelDark = Hex(0x1E2630);
constexpr Rgb kPanelMid = Hex(0x2E3A48);
constexpr Rgb kBronze = Hex(0xB48A4E);
constexpr Rgb kBronzeLight = Hex(0xE8C27A);
constexpr Rgb kBronzeDark = Hex(0x5E4424);
constexpr Rgb kGold = Hex(0xF4D06A);
constexpr Rgb kCream = Hex(0xF2E6C8);
constexpr Rgb kInk = Hex(0x14181E);
constexpr Rgb kDisplay =
    Hex(0x14161C); // the recessed digit windows (mid-step of 16-bit levels: stays flat when dithered)
constexpr Rgb kAmber = Hex(0xFFC640);
constexpr Rgb kWallStone = Hex(0x6A7788);
constexpr Rgb kFloorStone = Hex(0xCFC09C);

// A glossy ball of a tile colour at (cx, cy) with radius r.
void DrawBall(Canvas& canvas, float cx, float cy, float r, int colour, float opacity = 1.0f);

// A stone texture value in [0, 1] at (x, y), periodic over period pixels when period > 0.
float StoneGrain(float x, float y, unsigned seed, int period = 0);

// A panel of the game's popups and boards: a rounded slab of dark slate with a bronze rim, lit from the
// upper left. The corners outside the rounding stay transparent.
void DrawPanel(Canvas& canvas, float x, float y, float w, float h, float radius);
// A recessed window (a well) with a dark face and a thin bevel.
void DrawWell(Canvas& canvas, int x, int y, int w, int h, Rgb face = kDisplay);

// The game's name lettered as a logo: gold capitals with a dark outline and relief, centred on cx with
// the baseline at y, cap height size.
void DrawLogoText(Canvas& canvas, float cx, float y, float size, const std::string& text = "TESSARY");
// The same lettering with its left end at x (the menu letters its own name this way).
void DrawLogoLettering(Canvas& canvas, float x, float y, float size, const std::string& text);
// The emblem: four balls (red, green, blue, yellow) around a gold tessera, radius r.
void DrawEmblem(Canvas& canvas, float cx, float cy, float r);

// Text styles used across the game's art.
TextStyle LabelStyle(float size);   // bronze engraved labels on the panel
TextStyle HeadingStyle(float size); // gold headings with outline and shadow
TextStyle BodyStyle(float size);    // cream body text with a soft shadow

// A mosaic backdrop: small irregular tesserae in dark teal tones filling the rectangle, opaque.
void DrawMosaic(Canvas& canvas, int x, int y, int w, int h, unsigned seed, float brightness = 1.0f);

} // namespace art
