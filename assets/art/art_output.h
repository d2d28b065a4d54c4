// Where the generated art goes: every picture is written as a 24-bit BMP under the game folder with the
// exact name the game asks for, after checking the package's colour rule (no opaque pixel may show as
// the colour key; backgrounds hold no key pixel at all). A picture that breaks the rule stops the build.
#pragma once

#include <string>
#include <utility>

#include "assets/common/canvas.h"
#include "assets/common/picture_folder.h"

namespace art {

enum class Kind {
    Sprite,     // keyed: blue is transparent
    Background, // restore source or popup face: no blue at all
};

class ArtOutput : public PictureFolder {
  public:
    // Writes under folder (created with its title/ subfolder when missing).
    explicit ArtOutput(std::string folder) : PictureFolder(std::move(folder), "title") {}

    // Checks and writes picture as name (a path relative to the folder, '/' separated). Records an
    // error and writes nothing when the picture breaks the colour rule.
    void Save(const std::string& name, const Picture& picture, Kind kind = Kind::Sprite) {
        SavePicture(name, picture, kind == Kind::Background ? "a background" : nullptr);
    }
};

// Quantisers for the two kinds: sprites keyed with smooth edges toward matte, backgrounds opaque.
Picture SpritePicture(const Canvas& canvas, Rgb matte, bool dither = false);
Picture OpaquePicture(const Canvas& canvas, bool dither = true);

} // namespace art
