// Where the menu's generated files go: every picture is written as a 24-bit BMP in the menu folder with
// the exact name the menu asks for, after checking the package's colour rule (no opaque pixel may show
// as the colour key; screens and popup faces hold no key pixel at all). A broken rule stops the build.
#pragma once

#include <string>
#include <vector>

#include "assets/common/canvas.h"

namespace menuart {

enum class Kind {
    Sprite, // keyed: blue is transparent
    Screen, // restore source or popup face: no blue at all
};

class MenuOutput {
  public:
    // Writes into folder (created when missing).
    explicit MenuOutput(std::string folder);

    // Checks and writes picture as name. Records an error and writes nothing when the rule is broken.
    void Save(const std::string& name, const Picture& picture, Kind kind = Kind::Sprite);
    // Writes a text file, replacing it.
    void SaveText(const std::string& name, const std::string& text);
    // Writes a text file only when none exists yet (user data the menu rewrites later).
    void SaveTextOnce(const std::string& name, const std::string& text);

    const std::string& Folder() const { return folder_; }
    const std::vector<std::string>& Written() const { return written_; }
    const std::vector<std::string>& Errors() const { return errors_; }

  private:
    std::string folder_;
    std::vector<std::string> written_;
    std::vector<std::string> errors_;
};

} // namespace menuart
