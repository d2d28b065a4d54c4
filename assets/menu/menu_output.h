// Where the menu's generated files go: every picture is written as a 24-bit BMP in the menu folder with
// the exact name the menu asks for, after checking the package's colour rule (no opaque pixel may show
// as the colour key; screens and popup faces hold no key pixel at all). A broken rule stops the build.
#pragma once

#include <string>
#include <utility>

#include "assets/common/canvas.h"
#include "assets/common/picture_folder.h"

namespace menuart {

enum class Kind {
    Sprite, // keyed: blue is transparent
    Screen, // restore source or popup face: no blue at all
};

class MenuOutput : public PictureFolder {
  public:
    // Writes into folder (created when missing).
    explicit MenuOutput(std::string folder) : PictureFolder(std::move(folder)) {}

    // Checks and writes picture as name. Records an error and writes nothing when the rule is broken.
    void Save(const std::string& name, const Picture& picture, Kind kind = Kind::Sprite) {
        SavePicture(name, picture, kind == Kind::Screen ? "a screen" : nullptr);
    }
};

} // namespace menuart
