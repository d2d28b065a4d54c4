#include "assets/common/glyph_strip.h"

#include <algorithm>

bool InkColumns(const Picture& picture, int* first, int* last) {
    *first = picture.width;
    *last = -1;
    for (int x = 0; x < picture.width; ++x)
        for (int y = 0; y < picture.height; ++y)
            if (!IsKey(picture.At(x, y))) {
                *first = std::min(*first, x);
                *last = std::max(*last, x);
            }
    return *last >= *first;
}

Picture CropColumns(const Picture& picture, int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, picture.width - 1);
    Picture cut(last - first + 1, picture.height);
    for (int y = 0; y < cut.height; ++y)
        for (int x = first; x <= last; ++x)
            cut.At(x - first, y) = picture.At(x, y);
    return cut;
}

Picture JoinGlyphs(const std::vector<Picture>& glyphs, int height) {
    int total = 0;
    for (const Picture& g : glyphs)
        total += g.width + 1;
    Picture strip(total, height);
    int x = 0;
    for (const Picture& g : glyphs) {
        for (int y = 0; y < height && y < g.height; ++y)
            for (int i = 0; i < g.width; ++i)
                strip.At(x + i, y) = g.At(i, y);
        x += g.width + 1;
    }
    return strip;
}

int LeftInkRow(const Picture& glyph) {
    int row = 0;
    while (row < glyph.height - 1 && IsKey(glyph.At(0, row)))
        ++row;
    return row;
}

void BridgeInnerGaps(Picture& glyph, Rgb8 colour) {
    if (glyph.height <= 0) return;
    int row = LeftInkRow(glyph);
    for (int x = 1; x < glyph.width - 1; ++x) {
        bool empty = true;
        for (int y = 0; y < glyph.height && empty; ++y)
            empty = IsKey(glyph.At(x, y));
        if (empty) glyph.At(x, row) = colour;
    }
}
