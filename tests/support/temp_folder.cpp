#include "tests/support/temp_folder.h"

#include <atomic>
#include <random>
#include <system_error>

namespace testsupport {

TempFolder::TempFolder(const std::string& prefix, const std::string& base) {
    static std::atomic<int> counter{0};
    std::random_device random;
    const std::filesystem::path where =
        base.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(base);
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        auto candidate = where / (prefix + "-" + std::to_string(random()) + "-" + std::to_string(counter++));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) path_ = candidate.string();
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!path_.empty() && !keep_) std::filesystem::remove_all(path_, ignored);
}

TempCurrentFolder::TempCurrentFolder(const std::string& prefix)
    : previous_(std::filesystem::current_path()), folder_(prefix) {
    std::error_code ignored;
    if (!folder_.Path().empty()) std::filesystem::current_path(folder_.Path(), ignored);
}

TempCurrentFolder::~TempCurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

} // namespace testsupport
