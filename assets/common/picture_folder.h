// A folder the generators write the package's files into: every picture is checked against the
// package's colour rule (no opaque pixel may show as the colour key; a key-free picture holds no key
// pixel at all) and written as a 24-bit BMP with the exact name the program asks for. A picture that
// breaks the rule is not written; the error is recorded so the generator can stop the build.
#pragma once

#include <string>
#include <vector>

#include "assets/common/canvas.h"

class PictureFolder {
  public:
    // Writes under folder, creating it (and subfolder inside it, when not empty) when missing.
    explicit PictureFolder(std::string folder, const std::string& subfolder = "");

    // Checks and writes picture as name (a path relative to the folder, '/' separated). keyFree names
    // the kind of picture that may hold no key pixel at all ("a background"); null for a keyed sprite.
    void SavePicture(const std::string& name, const Picture& picture, const char* keyFree);
    // Writes a text file, replacing it.
    void SaveText(const std::string& name, const std::string& text);
    // Writes a text file only when none exists yet (user data the program rewrites later).
    void SaveTextOnce(const std::string& name, const std::string& text);

    const std::string& Folder() const { return folder_; }
    const std::vector<std::string>& Written() const { return written_; }
    const std::vector<std::string>& Errors() const { return errors_; }

  private:
    std::string folder_;
    std::vector<std::string> written_;
    std::vector<std::string> errors_;
};
