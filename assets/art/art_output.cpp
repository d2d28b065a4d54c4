#include "assets/art/art_output.h"

#include <filesystem>
#include <fstream>

#include "assets/common/bmp_file.h"

namespace art {

ArtOutput::ArtOutput(std::string folder) : folder_(std::move(folder)) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(folder_) / "title", ec);
    if (ec) errors_.push_back("cannot create " + folder_ + "/title: " + ec.message());
}

void ArtOutput::Save(const std::string& name, const Picture& picture, Kind kind) {
    for (const Rgb8& c : picture.pixels) {
        if (!IsKey(c) && ShowsAsKey(c)) {
            errors_.push_back(name + ": an opaque colour shows as the colour key");
            return;
        }
        if (kind == Kind::Background && IsKey(c)) {
            errors_.push_back(name + ": a background holds the colour key");
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

void ArtOutput::SaveText(const std::string& name, const std::string& text) {
    std::string path = (std::filesystem::path(folder_) / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
        errors_.push_back("cannot write " + path);
        return;
    }
    written_.push_back(name);
}

Picture SpritePicture(const Canvas& canvas, Rgb matte, bool dither) {
    QuantiseOptions o;
    o.useMatte = true;
    o.matte = matte;
    o.dither = dither;
    o.threshold = 0.35f;
    return Quantise(canvas, o);
}

Picture OpaquePicture(const Canvas& canvas, bool dither) {
    QuantiseOptions o;
    o.opaque = true;
    o.backdrop = Rgb{16, 20, 24};
    o.dither = dither;
    return Quantise(canvas, o);
}

} // namespace art
