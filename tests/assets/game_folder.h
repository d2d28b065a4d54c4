// Helpers of the content tests: the game's package folder, its bitmaps, and a small INI reader.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "assets/common/bmp_file.h"

// The game's folder in the package the build laid out.
inline std::string GameFile(const std::string& name) {
    return std::string(QUIB_GAME_DIR) + "/" + name;
}

// Loads a bitmap of the game folder; a failure is recorded and an empty picture returned.
inline Picture LoadGameBitmap(const std::string& name) {
    Picture p;
    std::string error;
    EXPECT_TRUE(ReadBmp(GameFile(name), p, &error)) << name << ": " << error;
    return p;
}

// Whether a cell of a sheet holds any non-key pixel.
inline bool CellHasArt(const Picture& p, int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h && y < p.height; ++y)
        for (int x = x0; x < x0 + w && x < p.width; ++x)
            if (!IsKey(p.At(x, y))) return true;
    return false;
}

// Opaque pixels that a 16-bit display would show as the key.
inline int CountHiddenPixels(const Picture& p) {
    int n = 0;
    for (const Rgb8& c : p.pixels)
        if (!IsKey(c) && ShowsAsKey(c)) ++n;
    return n;
}

inline int CountKeyPixels(const Picture& p) {
    return int(std::count_if(p.pixels.begin(), p.pixels.end(), [](const Rgb8& c) { return IsKey(c); }));
}

// An INI file as the profile functions read it: names case-insensitive, values trimmed, ';' comments.
class IniFile {
  public:
    explicit IniFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        loaded_ = bool(in);
        std::string line, section;
        while (std::getline(in, line)) {
            line = Trim(line);
            if (line.empty() || line[0] == ';') continue;
            if (line[0] == '[') {
                section = Lower(Trim(line.substr(1, line.find(']') - 1)));
                sections_[section];
                order_.push_back(section);
                continue;
            }
            size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            std::string key = Lower(Trim(line.substr(0, eq)));
            if (!sections_[section].count(key)) sections_[section][key] = Trim(line.substr(eq + 1));
        }
    }
    bool Loaded() const { return loaded_; }
    bool Has(const std::string& section, const std::string& key) const {
        auto s = sections_.find(Lower(section));
        return s != sections_.end() && s->second.count(Lower(key));
    }
    std::string Get(const std::string& section, const std::string& key,
                    const std::string& fallback = "") const {
        auto s = sections_.find(Lower(section));
        if (s == sections_.end()) return fallback;
        auto k = s->second.find(Lower(key));
        return k == s->second.end() ? fallback : k->second;
    }
    int GetInt(const std::string& section, const std::string& key, int fallback = 0) const {
        return Has(section, key) ? std::atoi(Get(section, key).c_str()) : fallback;
    }
    bool HasSection(const std::string& section) const { return sections_.count(Lower(section)) != 0; }
    // Section names in file order (lower case).
    const std::vector<std::string>& Sections() const { return order_; }

  private:
    static std::string Trim(const std::string& s) {
        size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
        return a == std::string::npos ? "" : s.substr(a, b - a + 1);
    }
    static std::string Lower(std::string s) {
        for (char& c : s)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }
    bool loaded_ = false;
    std::map<std::string, std::map<std::string, std::string>> sections_;
    std::vector<std::string> order_;
};
