// tessary_levelgen: writes the game's level files from their readable maps.
//   tessary_levelgen <setup.ini> <legend.txt> <maps folder> <Levels folder>
// Maps 001.txt, 002.txt, ... (in order, up to the first missing number) become 001.lev, 002.lev, ...,
// written by the game model's own level-file writer. Exit status 0 when every map became a file, 1 at
// the first map that cannot (the build stops with its reason).
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "assets/levels/levelgen/level_builder.h"

namespace {

constexpr int kMaxLevels = 999;

std::string Numbered(int n, const char* extension) {
    char name[32];
    std::snprintf(name, sizeof name, "%03d.%s", n, extension);
    return name;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "tessary_levelgen: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: tessary_levelgen <setup.ini> <legend.txt> <maps folder> <Levels folder>\n");
        return 1;
    }
    std::string error;
    levels::SetupPalette palette;
    if (!levels::ReadSetupPalette(argv[1], palette, error)) return Fail(error);
    levels::Legend legend;
    if (!levels::ReadLegend(argv[2], legend, error)) return Fail(error);

    const std::filesystem::path maps = argv[3];
    const std::filesystem::path outFolder = argv[4];
    std::error_code ec;
    std::filesystem::create_directories(outFolder, ec);
    if (ec) return Fail("cannot create " + outFolder.string() + ": " + ec.message());

    int written = 0;
    for (int n = 1; n <= kMaxLevels; ++n) {
        const std::filesystem::path source = maps / Numbered(n, "txt");
        if (!std::filesystem::exists(source)) break;
        levels::LevelMap map;
        LevelFileData level;
        if (!levels::ReadLevelMap(source.string(), map, error)) return Fail(error);
        if (!levels::BuildLevel(map, legend, palette, level, error))
            return Fail(source.string() + ": " + error);
        const std::filesystem::path target = outFolder / Numbered(n, "lev");
        if (!WriteFile(target, SerializeLevelFile(level))) return Fail("cannot write " + target.string());
        ++written;
    }
    if (written == 0) return Fail("no maps in " + maps.string());
    std::printf("tessary_levelgen: %d levels written to %s\n", written, outFolder.string().c_str());
    return 0;
}
