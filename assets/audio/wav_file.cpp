#include "assets/audio/wav_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace audiogen {

namespace {

void PutU32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(char((value >> (8 * i)) & 0xFF));
}

void PutU16(std::string& out, uint16_t value) {
    out.push_back(char(value & 0xFF));
    out.push_back(char(value >> 8));
}

int16_t ToPcm16(float sample) {
    double scaled = std::round(double(sample) * 32767.0);
    return int16_t(std::clamp(scaled, -32768.0, 32767.0));
}

} // namespace

bool WriteWav16(const std::string& path, const Samples& mono, int rate, std::string& error) {
    const uint16_t channels = 1;
    const uint16_t bits = 16;
    const uint16_t blockAlign = channels * bits / 8;
    const uint32_t dataBytes = uint32_t(mono.size()) * blockAlign;

    std::string file;
    file.reserve(44 + dataBytes);
    file += "RIFF";
    PutU32(file, 4 + (8 + 16) + (8 + dataBytes));
    file += "WAVE";
    file += "fmt ";
    PutU32(file, 16);
    PutU16(file, 1); // PCM
    PutU16(file, channels);
    PutU32(file, uint32_t(rate));
    PutU32(file, uint32_t(rate) * blockAlign);
    PutU16(file, blockAlign);
    PutU16(file, bits);
    file += "data";
    PutU32(file, dataBytes);
    for (float sample : mono)
        PutU16(file, uint16_t(ToPcm16(sample)));

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot create " + path;
        return false;
    }
    out.write(file.data(), std::streamsize(file.size()));
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace audiogen
