#include "assets/levels/levelgen/setup_palette.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace levels {

namespace {

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// An INI file read the way the game's profile functions read it: section and key names
// case-insensitive, values trimmed, lines starting with ';' ignored. The first value of a key counts.
using IniSections = std::map<std::string, std::map<std::string, std::string>>;

bool ReadIni(const std::string& path, IniSections& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line, section;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t end = line.find(']');
            section = Lower(Trim(line.substr(1, end == std::string::npos ? std::string::npos : end - 1)));
            out[section];
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        out[section].emplace(Lower(Trim(line.substr(0, eq))), Trim(line.substr(eq + 1)));
    }
    return true;
}

std::string Value(const IniSections& ini, const std::string& section, const std::string& key,
                  const std::string& fallback) {
    auto s = ini.find(section);
    if (s == ini.end()) return fallback;
    auto k = s->second.find(key);
    return k == s->second.end() ? fallback : k->second;
}

} // namespace

int SetupPalette::LayerIndex(const std::string& name) const {
    auto it = std::find(layers.begin(), layers.end(), name);
    return it == layers.end() ? -1 : int(it - layers.begin());
}

bool ReadSetupPalette(const std::string& path, SetupPalette& out, std::string& error) {
    IniSections ini;
    if (!ReadIni(path, ini)) {
        error = "cannot read " + path;
        return false;
    }
    out = SetupPalette();
    out.columns = std::atoi(Value(ini, "grid", "gridw", "0").c_str());
    out.rows = std::atoi(Value(ini, "grid", "gridh", "0").c_str());
    if (out.columns <= 0 || out.rows <= 0) {
        error = path + " gives no grid size (gridw, gridh)";
        return false;
    }
    out.layers.push_back("background");
    for (int n = 1; n < 100; ++n) {
        char key[16];
        std::snprintf(key, sizeof key, "layer%02d", n);
        std::string name = Value(ini, "layer", key, "none");
        if (name == "none") break;
        out.layers.push_back(name);
    }
    if (out.layers.size() < 2) {
        error = path + " lists no layers";
        return false;
    }
    const std::string defaultLayer = Value(ini, "layer", "default", "wall");
    for (const auto& [section, keys] : ini) {
        if (section.size() != 4 || section[0] != 'p' ||
            !std::all_of(section.begin() + 1, section.end(), [](char c) { return std::isdigit(c); }))
            continue;
        PaletteTile tile;
        tile.layer = Value(ini, section, "layer", defaultLayer);
        tile.type = Value(ini, section, "type", "");
        tile.colour = std::atoi(Value(ini, section, "color", "-1").c_str());
        out.tiles[std::atoi(section.c_str() + 1)] = tile;
    }
    return true;
}

} // namespace levels
