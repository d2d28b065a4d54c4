#include "assets/art/setup_ini.h"

#include "assets/art/tiles.h"

namespace art {

static bool ReplaceOnce(std::string& text, const std::string& key, const std::string& value) {
    size_t at = text.find(key);
    if (at == std::string::npos) return false;
    text.replace(at, key.size(), value);
    return true;
}

std::string MakeSetupIni(const std::string& templateText) {
    std::string text = templateText;
    if (!ReplaceOnce(text, "@TILE_GRID@", kTileGridFile) ||
        !ReplaceOnce(text, "@TILE_INDEX@", TileIndexComment()) ||
        !ReplaceOnce(text, "@TILE_SECTIONS@", TileSections()))
        return "";
    // The game's profile reader takes either line end; CRLF is what its own writes use.
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return crlf;
}

} // namespace art
