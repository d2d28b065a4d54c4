// A new empty folder of the test's own in the system's temporary folder, removed with its files when
// the object goes. Header only, standard library only: any test program may include it.
#pragma once

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace testsupport {

class TempFolder {
  public:
    // Makes PREFIX-RANDOM-COUNT; a name that already exists is never reused (Path() stays empty when no
    // folder could be made).
    explicit TempFolder(const std::string& prefix) {
        static std::atomic<int> counter{0};
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            auto candidate =
                base / (prefix + "-" + std::to_string(random()) + "-" + std::to_string(counter++));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) path_ = candidate.string();
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, and the path of a file in it.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

} // namespace testsupport
