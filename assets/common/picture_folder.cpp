#include "assets/common/picture_folder.h"

#include <filesystem>
#include <fstream>

#include "assets/common/bmp_file.h"

PictureFolder::PictureFolder(std::string folder, const std::string& subfolder) : folder_(std::move(folder)) {
    std::filesystem::path path(folder_);
    std::string shown = folder_;
    if (!subfolder.empty()) {
        path /= subfolder;
        shown += "/" + subfolder;
    }
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) errors_.push_back("cannot create " + shown + ": " + ec.message());
}

void PictureFolder::SavePicture(const std::string& name, const Picture& picture, const char* keyFree) {
    for (const Rgb8& c : picture.pixels) {
        if (!IsKey(c) && ShowsAsKey(c)) {
            errors_.push_back(name + ": an opaque colour shows as the colour key");
            return;
        }
        if (keyFree && IsKey(c)) {
            errors_.push_back(name + ": " + keyFree + " holds the colour key");
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

void PictureFolder::SaveText(const std::string& name, const std::string& text) {
    std::string path = (std::filesystem::path(folder_) / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
        errors_.push_back("cannot write " + path);
        return;
    }
    written_.push_back(name);
}

void PictureFolder::SaveTextOnce(const std::string& name, const std::string& text) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(folder_) / name, ec)) return;
    SaveText(name, text);
}
