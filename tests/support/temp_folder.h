// Folders of a test's own: a new empty folder removed with its files when the object goes, and the same
// as the process's current folder for the object's life.
#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

class TempFolder {
  public:
    // Makes PREFIX-RANDOM-COUNT in base (the system's temporary folder when empty); a name that already
    // exists is never reused. Path() stays empty when no folder could be made.
    explicit TempFolder(const std::string& prefix = "quib-test", const std::string& base = "");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, and the path of a file in it ("a/b" for nested names).
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Leaves the folder and its files in place when the object goes (to look at after a failed test).
    void Keep() { keep_ = true; }

  private:
    std::string path_;
    bool keep_ = false;
};

// A TempFolder that is the current folder until the object goes; then the folder that was current
// before is current again and the temporary one is removed.
class TempCurrentFolder {
  public:
    explicit TempCurrentFolder(const std::string& prefix = "quib-test");
    ~TempCurrentFolder();
    TempCurrentFolder(const TempCurrentFolder&) = delete;
    TempCurrentFolder& operator=(const TempCurrentFolder&) = delete;

    // Empty when no folder could be made (the current folder then stays as it was).
    const std::string& Path() const { return folder_.Path(); }

  private:
    std::filesystem::path previous_;
    TempFolder folder_; // made after previous_ is noted, removed after it is current again
};

} // namespace testsupport
