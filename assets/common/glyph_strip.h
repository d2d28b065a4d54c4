// Pieces of the package's bitmap fonts: glyphs trimmed to their ink and laid in one row, each followed
// by one key column, which is how the font loaders find where one glyph ends and the next begins.
#pragma once

#include <vector>

#include "assets/common/canvas.h"

// The first and last columns of picture holding a non-key pixel. False (first = width, last = -1) when
// the picture holds no ink at all.
bool InkColumns(const Picture& picture, int* first, int* last);

// Columns first..last of picture (full height), as a picture of their own.
Picture CropColumns(const Picture& picture, int first, int last);

// The glyphs side by side in one row of the given height, each followed by one key column.
Picture JoinGlyphs(const std::vector<Picture>& glyphs, int height);

// The row of the first non-key pixel in glyph's left column (the last row when there is none).
int LeftInkRow(const Picture& glyph);

// Joins a glyph whose strokes leave empty columns inside it (the two ticks of '"'): each empty column
// between the first and the last gets one pixel of colour on the LeftInkRow, so a loader that splits
// glyphs at empty columns keeps it whole.
void BridgeInnerGaps(Picture& glyph, Rgb8 colour);
