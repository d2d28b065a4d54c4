// The 0..0xFFFF volume and pan scales of the library mapped to hundredths of a decibel.
#include <array>
#include <cmath>

#include "sound/quibsound.h"

namespace {

constexpr int kTableSize = 16384;
constexpr int kSilence = -10000;

// Entry i: 1000 x log2(i / 16384) truncated, at least -10000, so each halving of the index is 10 dB.
const std::array<short, kTableSize>& VolumeTable() {
    static const std::array<short, kTableSize> table = [] {
        std::array<short, kTableSize> built{};
        built[0] = kSilence;
        for (int i = 1; i < kTableSize; ++i) {
            double centibels = std::trunc(1000.0 * std::log2(double(i) / double(kTableSize)));
            built[i] = short(centibels < kSilence ? kSilence : centibels);
        }
        return built;
    }();
    return table;
}

} // namespace

const short* QuibSound::g_VolumeTable = VolumeTable().data();

int QuibSound::MapVolume(int volume) {
    const auto& table = VolumeTable();
    if (volume > 0xFFFF) return table[0x3FFF];
    if (volume < 0) return table[0];
    return table[volume >> 2];
}

int QuibSound::MapPan(int pan) {
    const auto& table = VolumeTable();
    if (pan > 0xFFFF) return kSilence;
    if (pan >= 0x8000) return table[0x3FFF - ((pan - 0x8000) >> 1)];
    if (pan > 0) return -table[pan >> 1];
    return -kSilence;
}
