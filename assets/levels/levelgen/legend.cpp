#include "assets/levels/levelgen/legend.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace levels {

namespace {

bool ParseNumber(const std::string& text, int& value) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < -1 || v > 100000) return false;
    value = int(v);
    return true;
}

} // namespace

bool ReadLegend(const std::string& path, Legend& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    out.clear();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        // The character is the first byte of the line, whatever it is (even '#' or ',').
        const char symbol = line[0];
        std::istringstream fields(line.substr(1));
        std::string index, layer, type, colour;
        LegendEntry entry;
        if (!(fields >> index >> layer >> type >> colour)) {
            error = where + "expected CHAR INDEX LAYER TYPE COLOUR DESCRIPTION";
            return false;
        }
        std::getline(fields >> std::ws, entry.what);
        if (index == "floor") {
            entry.index = kLevelFloor;
        } else if (index == "accent") {
            entry.index = kLevelAccent;
        } else if (!ParseNumber(index, entry.index) || entry.index < 2) {
            error = where + "bad palette index \"" + index + "\"";
            return false;
        }
        entry.layer = layer;
        entry.type = type == "-" ? "" : type;
        entry.colour = -1;
        if (colour != "-" && !ParseNumber(colour, entry.colour)) {
            error = where + "bad colour \"" + colour + "\"";
            return false;
        }
        std::vector<LegendEntry>& tiles = out[symbol];
        for (const LegendEntry& other : tiles) {
            if (other.layer == entry.layer) {
                error = where + "the character '" + std::string(1, symbol) + "' is given twice for layer " +
                        entry.layer;
                return false;
            }
        }
        tiles.push_back(entry);
    }
    return true;
}

} // namespace levels
