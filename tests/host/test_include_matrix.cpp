// The include matrix, read from the sources: each area of the tree lists the areas it may include, and
// every include of every source file must point into its own area or one its area lists. The layers run
// host -> quib (platform below the 3D layer's floors) -> sound and framework -> tessary and lobbit.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/host/source_tree.h"

namespace {

namespace fs = std::filesystem;
using sourcetree::ReadAll;
using sourcetree::SourceRoot;

// One row of the matrix. An area is a folder ("quib/platform/", its subfolders included unless they have
// a row of their own) or the files of one kind directly in a folder ("quib/*.h"). mayInclude lists the
// other areas its files may include, separated by blanks; "*" allows anything.
struct AreaRule {
    std::string area;
    std::string mayInclude;
};

// Every host area but the backend: only host/backend/ knows which backend runs.
const std::string kHostApi =
    "host/base/ host/win/ host/gdi/ host/ddraw/ host/d3d/ host/rm/ host/dinput/ host/dsound/ host/mm/";
// What every file of the engine may include: its exported interface, and the host.
const std::string kEngineBase = "quib/*.h " + kHostApi;
// The 3D layer's floors, bottom up: each floor may include the floors below it, the platform and the
// engine's base. kMath is math with everything math may include, kFrames frames with all of kMath, ...
const std::string kMath = "quib/scene/math/ quib/platform/ " + kEngineBase;
const std::string kFrames = "quib/scene/frames/ " + kMath;
const std::string kTextures = "quib/scene/textures/ " + kFrames;
const std::string kMesh = "quib/scene/mesh/ " + kTextures;
const std::string kPipeline = "quib/scene/pipeline/ " + kMesh;
const std::string kObjects = "quib/scene/objects/ " + kPipeline;
const std::string kWorld = "quib/scene/world/ " + kObjects;
const std::string kApi = "quib/scene/api/ " + kWorld;

const std::vector<AreaRule>& Matrix() {
    static const std::vector<AreaRule> rules = {
        // The host layer, bottom up.
        {"host/base/", ""},
        {"host/backend/", "host/base/"},
        {"host/win/", "host/backend/ host/base/"},
        {"host/gdi/", "host/win/ host/backend/ host/base/"},
        {"host/ddraw/", "host/gdi/ host/win/ host/backend/ host/base/"},
        {"host/d3d/", "host/ddraw/ host/backend/ host/base/"},
        {"host/rm/", "host/d3d/ host/ddraw/ host/gdi/ host/win/ host/base/"},
        {"host/dinput/", "host/win/ host/backend/ host/base/"},
        {"host/dsound/", "host/win/ host/backend/ host/base/"},
        {"host/mm/", "host/dsound/ host/win/ host/backend/ host/base/"},
        // The engine: the exported interface headers at the bottom, the platform layer, the 3D layer's
        // floors, and the entry that brings platform and 3D layer up and down together at the top.
        {"quib/*.h", "host/base/ host/d3d/ host/ddraw/ host/dinput/"},
        {"quib/platform/", kEngineBase},
        {"quib/scene/math/", kEngineBase + " quib/platform/"},
        {"quib/scene/frames/", kMath},
        {"quib/scene/textures/", kFrames},
        {"quib/scene/mesh/", kTextures},
        {"quib/scene/pipeline/", kMesh},
        {"quib/scene/objects/", kPipeline},
        {"quib/scene/world/", kObjects},
        {"quib/scene/api/", kWorld},
        {"quib/*.cpp", kApi},
        // The libraries and programs above the engine.
        {"sound/", kHostApi},
        {"framework/", "sound/ quib/*.h " + kHostApi},
        {"tessary/", "framework/ sound/ quib/*.h " + kHostApi},
        {"lobbit/", "framework/ sound/ quib/*.h " + kHostApi},
        // Outside the layers: tests, benchmarks, tools and the asset generators may include anything.
        {"tests/", "*"},
        {"bench/", "*"},
        {"tools/", "*"},
        {"assets/", "*"},
    };
    return rules;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// Whether the file (relative to the top of the tree) belongs to area, and how closely: the length of the
// area's folder, 0 when it does not belong.
size_t MatchLength(const std::string& area, const fs::path& file) {
    const std::string path = file.generic_string();
    const size_t star = area.find("/*.");
    if (star == std::string::npos) return path.rfind(area, 0) == 0 ? area.size() : 0;
    const std::string folder = area.substr(0, star);
    const std::string extension = area.substr(star + 2);
    return file.parent_path().generic_string() == folder && file.extension() == extension ? folder.size() + 1
                                                                                          : 0;
}

// The area of file: the row with the longest matching folder; NULL when no row holds it.
const AreaRule* AreaOf(const fs::path& file) {
    const AreaRule* best = nullptr;
    size_t bestLength = 0;
    for (const AreaRule& rule : Matrix()) {
        const size_t length = MatchLength(rule.area, file);
        if (length > bestLength) {
            best = &rule;
            bestLength = length;
        }
    }
    return best;
}

// Empty when a file of from may include target; otherwise why not.
std::string Violation(const fs::path& from, const fs::path& target) {
    const AreaRule* source = AreaOf(from);
    const AreaRule* destination = AreaOf(target);
    if (!source) return from.generic_string() + " is in no area of the include matrix";
    if (!destination) return target.generic_string() + " is in no area of the include matrix";
    if (source == destination) return "";
    for (const std::string& allowed : Words(source->mayInclude))
        if (allowed == "*" || allowed == destination->area) return "";
    return source->area + " may not include " + destination->area;
}

struct Include {
    int line;
    std::string path;
};

// The includes of text, with their line numbers; text in comments and strings is not read.
std::vector<Include> IncludesOf(const std::string& text) {
    static const std::regex include(R"(^[ \t]*#[ \t]*include[ \t]*["<]([^">]+)[">])");
    std::vector<Include> includes;
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        std::smatch match;
        if (std::regex_search(line, match, include)) includes.push_back({number, match[1].str()});
    }
    return includes;
}

// An include of file as a path from the top of the tree: the tree's own headers are named from the top
// ("quib/platform/debug.h") or beside the includer; empty for the system's and the libraries' headers.
fs::path Resolve(const fs::path& root, const fs::path& file, const std::string& include) {
    const fs::path fromTop(include);
    if (fs::is_directory(root / *fromTop.begin()) && fs::exists(root / fromTop))
        return fromTop.lexically_normal();
    const fs::path beside = file.parent_path() / include;
    if (fs::exists(root / beside)) return beside.lexically_normal();
    return {};
}

std::vector<fs::path> CodeFiles(const fs::path& root) {
    return sourcetree::FilesUnder(root, [](const fs::path& path) { return sourcetree::IsCode(path); });
}

TEST(IncludeMatrix, IncludesAreReadFromIncludeLinesOnlyWithTheirLineNumbers) {
    const std::string text = "#include \"host/base/types.h\"\n"
                             "// #include \"host/gdi/gdi.h\" is text, not an include\n"
                             "  #  include <host/d3d/d3d.h>\n"
                             "const char* s = \"#include \\\"quib/quib.h\\\"\";\n"
                             "#include <vector>\n";
    const std::vector<Include> includes = IncludesOf(text);
    ASSERT_EQ(3u, includes.size());
    EXPECT_EQ(1, includes[0].line);
    EXPECT_EQ("host/base/types.h", includes[0].path);
    EXPECT_EQ(3, includes[1].line);
    EXPECT_EQ("host/d3d/d3d.h", includes[1].path);
    EXPECT_EQ("vector", includes[2].path);
}

TEST(IncludeMatrix, RulesFollowTheLayers) {
    struct Case {
        const char* from;
        const char* target;
        bool allowed;
    };
    const Case cases[] = {
        {"host/d3d/device.cpp", "host/ddraw/surface.h", true},
        {"host/win/window.cpp", "host/gdi/dc.h", false},
        {"host/win/window.cpp", "host/win/window.h", true},
        {"host/rm/ximport_helper/main.cpp", "host/rm/d3drm.h", true},
        {"quib/platform/video_api.cpp", "quib/scene/frames/frame.h", false},
        {"quib/platform/video_api.cpp", "host/backend/backend.h", false},
        {"quib/quib.h", "quib/scene/mesh/dp_mesh.h", false},
        {"quib/platform/debug.cpp", "quib/quib.h", true},
        {"quib/scene/mesh/dp_mesh.cpp", "quib/scene/frames/frame.h", true},
        {"quib/scene/mesh/dp_mesh.cpp", "quib/scene/pipeline/draw_submesh.h", false},
        {"quib/scene/api/camera_api.cpp", "quib/scene/world/terrain.h", true},
        {"quib/video_start.cpp", "quib/scene/api/any.h", true},
        {"framework/page.cpp", "quib/platform/debug.h", false},
        {"framework/page.cpp", "sound/quibsound.h", true},
        {"sound/sound_device.cpp", "framework/page.h", false},
        {"tessary/model/level_io.cpp", "lobbit/title_page.h", false},
        {"tests/quib/test_x.cpp", "quib/scene/api/any.h", true},
        // Helpers, benchmarks, fuzz targets and tools sit outside the layers; the layers never reach them.
        {"host/d3d/raster_lanes.h", "host/d3d/raster_pixel.h", true},
        {"tests/fuzz/fuzz_x.cpp", "host/rm/x_import.h", true},
        {"bench/frame3d_bench.cpp", "tests/quib/small_game_world.h", true},
        {"bench/headless_display/display.cpp", "host/backend/machine.h", true},
        {"tools/playtest/world.cpp", "tessary/model/ball_set.h", true},
        {"tessary/model/ball_set.cpp", "tools/playtest/world.h", false},
        {"quib/scene/world/terrain.cpp", "bench/headless_display.h", false},
        {"host/rm/ximport_helper/main.cpp", "tests/support/files.h", false},
        {"newfolder/x.cpp", "host/base/types.h", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.allowed, Violation(c.from, c.target).empty())
            << c.from << " -> " << c.target << ": " << Violation(c.from, c.target);
}

TEST(IncludeMatrix, EveryAreaExistsAndListsOnlyAreasOfTheMatrix) {
    const fs::path root = SourceRoot();
    std::set<std::string> areas;
    for (const AreaRule& rule : Matrix()) {
        EXPECT_TRUE(areas.insert(rule.area).second) << rule.area << " has two rows";
        const std::string folder = rule.area.substr(0, rule.area.find("/*."));
        EXPECT_TRUE(fs::is_directory(root / folder)) << rule.area << " names no folder of the tree";
    }
    for (const AreaRule& rule : Matrix())
        for (const std::string& allowed : Words(rule.mayInclude))
            EXPECT_TRUE(allowed == "*" || (areas.count(allowed) && allowed != rule.area))
                << rule.area << " lists " << allowed;
}

// Depth-first search for a way back to an area already on the path.
bool ReachesCycle(const std::string& area, std::map<std::string, int>& state,
                  std::vector<std::string>& path) {
    state[area] = 1;
    path.push_back(area);
    for (const AreaRule& rule : Matrix()) {
        if (rule.area != area) continue;
        for (const std::string& next : Words(rule.mayInclude)) {
            if (next == "*") continue;
            if (state[next] == 1) {
                path.push_back(next);
                return true;
            }
            if (state[next] == 0 && ReachesCycle(next, state, path)) return true;
        }
    }
    state[area] = 2;
    path.pop_back();
    return false;
}

TEST(IncludeMatrix, NoTwoAreasMayIncludeEachOther) {
    std::map<std::string, int> state;
    for (const AreaRule& rule : Matrix()) {
        std::vector<std::string> path;
        if (state[rule.area] == 0 && ReachesCycle(rule.area, state, path)) {
            std::string cycle;
            for (const std::string& area : path)
                cycle += area + " ";
            ADD_FAILURE() << "the matrix lets areas include each other: " << cycle;
            return;
        }
    }
}

TEST(IncludeMatrix, EveryIncludeOfTheTreeFollowsTheMatrix) {
    const fs::path root = SourceRoot();
    ASSERT_TRUE(fs::is_directory(root / "quib" / "scene")) << root;
    int files = 0, includes = 0;
    for (const fs::path& file : CodeFiles(root)) {
        ++files;
        if (!AreaOf(file)) ADD_FAILURE() << file.generic_string() << " is in no area of the include matrix";
        for (const Include& include : IncludesOf(ReadAll(root / file))) {
            const fs::path target = Resolve(root, file, include.path);
            if (target.empty()) continue;
            ++includes;
            const std::string why = Violation(file, target);
            if (!why.empty())
                ADD_FAILURE() << file.generic_string() << ":" << include.line << " includes " << include.path
                              << ": " << why;
        }
    }
    EXPECT_GT(files, 500);
    EXPECT_GT(includes, 2000);
}

} // namespace
