#include "tessary/model/tile.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "host/win/messagebox.h"
#include "tessary/model/ini_values.h"
#include "tessary/model/tile_grid.h"

void CopyTileText(char (&field)[kTileTextSize], const char* text) {
    std::snprintf(field, sizeof field, "%s", text ? text : "");
}

void SpecialSprite::DrawTo(IDirectDrawSurface* target) {
    if (!grid || !frames || size < 1) return;
    const float savedX = x;
    const float savedY = y;
    const int savedCurrent = current;
    const int half = size / 2;
    const int count = frames->count < size * size ? frames->count : size * size;
    const int maskLength = int(strnlen(mask, sizeof mask));
    for (int i = 0; i < count; ++i) {
        if (i < maskLength && mask[i] == '0') continue;
        int px = int(savedX) + (i % size - half) * grid->cellWidth;
        int py = int(savedY) + (i / size - half) * grid->cellHeight;
        if (px < grid->originX || py < grid->originY || px >= grid->originX + grid->width ||
            py >= grid->originY + grid->height) {
            continue;
        }
        x = float(px);
        y = float(py);
        current = i;
        Animation::DrawTo(target);
    }
    x = savedX;
    y = savedY;
    current = savedCurrent;
}

Tile::Tile(const Tile& source)
    : Animation(source), index(source.index), type(source.type), size(source.size), colour(source.colour),
      layer(source.layer), radius(source.radius), shared(1), special(source.special) {
    std::memcpy(section, source.section, sizeof section);
    std::memcpy(file, source.file, sizeof file);
    std::memcpy(specialFile, source.specialFile, sizeof specialFile);
    std::memcpy(mask, source.mask, sizeof mask);
}

Tile::~Tile() {
    if (!shared) delete special;
}

void Tile::ReadColour(const char* iniPath) {
    colour = ReadIniInt(iniPath, section, "color", "-1", INT_MIN, INT_MAX);
    if (colour == -1) MessageBoxA(nullptr, section, "Bad Attributes!", MB_OK);
}

void Tile::ReadSpecial(const char* iniPath, TileGrid& grid, SpecialSprite* block) {
    size = ReadIniInt(iniPath, section, "size", "1", 1, kMaxSpecialSize);
    char text[256];
    ReadIniText(iniPath, section, "file", "", text, sizeof text);
    CopyTileText(specialFile, text);
    block->size = size;
    block->grid = &grid;
    if (text[0] && frameWidth > 0 && frameHeight > 0) block->LoadSheet(text, frameWidth, frameHeight);
    if (!shared) delete special;
    special = block;
    shared = 0;
}

void Tile::ReadAttributes(const char* iniPath, TileGrid& grid) {
    char defaultLayer[kTileTextSize];
    ReadIniText(iniPath, "layer", "default", "wall", defaultLayer, sizeof defaultLayer);
    char text[kTileTextSize];
    ReadIniText(iniPath, section, "layer", defaultLayer, text, sizeof text);
    layer = grid.FindLayer(text);
    radius = TruncateClamped(ReadIniFloat(iniPath, section, "radius", "0.0", 0.0f), -kMaxTileRadius,
                             kMaxTileRadius);

    ReadIniText(iniPath, section, "type", "", text, sizeof text);
    if (std::strcmp(text, "dimple") == 0) {
        type = kTileDimple;
        Dimple* dimple = new Dimple;
        ReadSpecial(iniPath, grid, dimple);
        dimple->force = ReadIniFloat(iniPath, section, "force", "1.0", 1.0f);
    } else if (std::strcmp(text, "ball") == 0) {
        type = kTileBall;
        ReadColour(iniPath);
    } else if (std::strcmp(text, "goal") == 0) {
        type = kTileGoal;
        ReadColour(iniPath);
    } else if (std::strcmp(text, "generator") == 0) {
        type = kTileGenerator;
        Generator* generator = new Generator;
        ReadSpecial(iniPath, grid, generator);
        ReadIniText(iniPath, section, "wall", "", text, sizeof text);
        CopyTileText(mask, text);
        CopyTileText(generator->mask, text);
        generator->rate = ReadIniInt(iniPath, section, "rate", "5", 0, kMaxGeneratorRate);
    } else if (std::strcmp(text, "hole") == 0) {
        type = kTileHole;
    } else if (std::strcmp(text, "mine") == 0) {
        type = kTileMine;
    }
}
