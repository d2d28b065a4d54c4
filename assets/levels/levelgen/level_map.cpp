#include "assets/levels/levelgen/level_map.h"

#include <cstdlib>
#include <fstream>

namespace levels {

namespace {

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool ParseIndex(const std::string& text, int& value) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 2 || v > 100000) return false;
    value = int(v);
    return true;
}

} // namespace

bool ReadLevelMap(const std::string& path, LevelMap& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    out = LevelMap();
    bool inMap = false;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (inMap) {
            out.rows.push_back(line);
            continue;
        }
        std::string text = Trim(line);
        if (text.empty() || text[0] == ';') continue;
        if (text == "map") {
            inMap = true;
            continue;
        }
        const std::string where = path + ":" + std::to_string(number) + ": ";
        size_t eq = text.find('=');
        if (eq == std::string::npos) {
            error = where + "expected \"key = value\" or \"map\"";
            return false;
        }
        std::string key = Trim(text.substr(0, eq));
        std::string value = Trim(text.substr(eq + 1));
        if (key == "name") {
            out.name = value;
        } else if (key == "teaches") {
            out.teaches = value;
        } else if (key == "floor" || key == "accent") {
            if (!ParseIndex(value, key == "floor" ? out.floor : out.accent)) {
                error = where + "bad palette index \"" + value + "\"";
                return false;
            }
        } else {
            error = where + "unknown key \"" + key + "\"";
            return false;
        }
    }
    // Blank lines after the map are not rows.
    while (!out.rows.empty() && Trim(out.rows.back()).empty())
        out.rows.pop_back();
    if (!inMap || out.rows.empty()) {
        error = path + ": no map";
        return false;
    }
    if (out.name.empty()) {
        error = path + ": the level has no name";
        return false;
    }
    return true;
}

} // namespace levels
