// tessary_audiogen OUTPUT_FOLDER
// Synthesises the game's sound effects (16-bit PCM WAV) and its music (music.mp3) into OUTPUT_FOLDER,
// creating the folder when it is missing. Exits 1 with a message when anything fails.
#include "assets/audio/effects.h"
#include "assets/audio/mp3_file.h"
#include "assets/audio/music.h"
#include "assets/audio/wav_file.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

constexpr int kMusicKbps = 128;

bool WriteEffects(const std::filesystem::path& folder, std::string& error) {
    for (const audiogen::Effect& effect : audiogen::AllEffects()) {
        std::string path = (folder / effect.file).string();
        if (!audiogen::WriteWav16(path, effect.make(), audiogen::kEffectRate, error)) return false;
    }
    return true;
}

bool WriteMusic(const std::filesystem::path& folder, std::string& error) {
    audiogen::StereoSound tune = audiogen::RenderTune(audiogen::GameTune());
    std::string path = (folder / "music.mp3").string();
    return audiogen::WriteMp3(path, tune.left, tune.right, audiogen::kMusicRate, kMusicKbps, error);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argc > 0 ? argv[0] : "tessary_audiogen");
        return 1;
    }
    std::filesystem::path folder = argv[1];
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    if (made) {
        std::fprintf(stderr, "tessary_audiogen: cannot create %s: %s\n", argv[1], made.message().c_str());
        return 1;
    }
    std::string error;
    try {
        if (!WriteEffects(folder, error) || !WriteMusic(folder, error)) {
            std::fprintf(stderr, "tessary_audiogen: %s\n", error.c_str());
            return 1;
        }
    } catch (const std::exception& fault) {
        std::fprintf(stderr, "tessary_audiogen: %s\n", fault.what());
        return 1;
    }
    return 0;
}
