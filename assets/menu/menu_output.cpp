#include "assets/menu/menu_output.h"

#include <filesystem>
#include <fstream>

#include "assets/common/bmp_file.h"

namespace menuart {

MenuOutput::MenuOutput(std::string folder) : folder_(std::move(folder)) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec) errors_.push_back("cannot create " + folder_ + ": " + ec.message());
}

void MenuOutput::Save(const std::string& name, const Picture& picture, Kind kind) {
    for (const Rgb8& c : picture.pixels) {
        if (!IsKey(c) && ShowsAsKey(c)) {
            errors_.push_back(name + ": an opaque colour shows as the colour key");
            return;
        }
        if (kind == Kind::Screen && IsKey(c)) {
            errors_.push_back(name + ": a screen holds the colour key");
            return;
        }
    }
    std::string error;
    if (!WriteBmp24((std::filesystem::path(folder_) / name).string(), picture, &error)) {
        errors_.push_back(error);
        return;
    }
    written_.push_back(name);
}

void MenuOutput::SaveText(const std::string& name, const std::string& text) {
    std::string path = (std::filesystem::path(folder_) / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
        errors_.push_back("cannot write " + path);
        return;
    }
    written_.push_back(name);
}

void MenuOutput::SaveTextOnce(const std::string& name, const std::string& text) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(folder_) / name, ec)) return;
    SaveText(name, text);
}

} // namespace menuart
