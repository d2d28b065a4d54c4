// The backend boundary, read from the sources: only host/backend/ asks which backend runs (everything else
// goes through the backend's descriptor), and host/backend/ includes nothing of host/ but host/base/ and
// itself, so the areas above hand it their calls (host/backend/hooks.h) instead of being called by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/host/source_tree.h"

namespace {

using sourcetree::IsSourceText;
using sourcetree::ReadAll;
using sourcetree::SourceFiles;
using sourcetree::SourceRoot;
namespace fs = std::filesystem;

bool InBackend(const fs::path& relative) {
    auto part = relative.begin();
    return part != relative.end() && *part == "host" && ++part != relative.end() && *part == "backend";
}

// The host/ areas text includes ("base" for #include "host/base/types.h"), in order.
std::vector<std::string> IncludedHostAreas(const std::string& text) {
    static const std::regex include(R"(^[ \t]*#[ \t]*include[ \t]*["<]host/([^/">]+)/)",
                                    std::regex::multiline);
    std::vector<std::string> areas;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), include); it != std::sregex_iterator();
         ++it)
        areas.push_back((*it)[1].str());
    return areas;
}

TEST(BackendBoundary, IncludedAreasAreReadFromIncludeLinesOnly) {
    std::string text = "#include \"host/base/types.h\"\n"
                       "  #  include <host/win/window.h>\n"
                       "#include \"host/d3d/d3d.h\"\n"
                       "// #include \"host/gdi/gdi.h\" is text, not an include\n"
                       "#include \"framework/host/x.h\"\n";
    EXPECT_EQ(IncludedHostAreas(text), (std::vector<std::string>{"base", "win", "d3d"}));
}

TEST(BackendBoundary, OnlyTheBackendAsksWhichBackendRuns) {
    fs::path root = SourceRoot();
    ASSERT_TRUE(fs::is_directory(root / "host" / "backend")) << root;
    const std::string question = std::string("HostIs") + "Headless"; // so this file does not match itself
    std::vector<fs::path> files = SourceFiles(root);
    ASSERT_FALSE(files.empty());
    bool definedInBackend = false;
    for (const fs::path& file : files) {
        if (ReadAll(root / file).find(question) == std::string::npos) continue;
        EXPECT_TRUE(InBackend(file)) << file << " asks which backend runs";
        definedInBackend |= InBackend(file);
    }
    EXPECT_TRUE(definedInBackend);
}

TEST(BackendBoundary, TheBackendIncludesOnlyTheBaseAndItself) {
    fs::path root = SourceRoot();
    ASSERT_TRUE(fs::is_directory(root / "host" / "backend")) << root;
    int scanned = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(root / "host" / "backend")) {
        if (!IsSourceText(entry.path())) continue;
        ++scanned;
        for (const std::string& area : IncludedHostAreas(ReadAll(entry.path())))
            EXPECT_TRUE(area == "base" || area == "backend")
                << entry.path().filename() << " includes a header of host/" << area;
    }
    EXPECT_GT(scanned, 10);
}

} // namespace
