// Reading the source tree from the tests that check its rules (the backend boundary, the include matrix).
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sourcetree {

namespace fs = std::filesystem;

// The top of the source tree this test program was built from.
inline fs::path SourceRoot() {
    return fs::path(QUIB_SOURCE_ROOT);
}

// The whole file; empty when it cannot be read.
inline std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// C and C++ sources and headers.
inline bool IsCode(const fs::path& path) {
    static const char* const kExtensions[] = {".cpp", ".h", ".c", ".cc", ".hpp"};
    for (const char* extension : kExtensions)
        if (path.extension() == extension) return true;
    return false;
}

// Code, build files, documents and scripts: every text a rule about names may apply to.
inline bool IsSourceText(const fs::path& path) {
    static const char* const kExtensions[] = {".txt", ".cmake", ".md", ".sh", ".py"};
    if (IsCode(path)) return true;
    for (const char* extension : kExtensions)
        if (path.extension() == extension) return true;
    return false;
}

// Every file under root that keep accepts, as paths relative to root; build folders and hidden folders
// (version control) left out.
template <typename Keep> std::vector<fs::path> FilesUnder(const fs::path& root, Keep keep) {
    std::vector<fs::path> files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::string name = it->path().filename().string();
        if (it->is_directory() && (name.rfind("build", 0) == 0 || name[0] == '.')) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file() && keep(it->path())) files.push_back(fs::relative(it->path(), root));
    }
    return files;
}

// Every source text of the tree, relative to root.
inline std::vector<fs::path> SourceFiles(const fs::path& root) {
    return FilesUnder(root, [](const fs::path& path) { return IsSourceText(path); });
}

} // namespace sourcetree
