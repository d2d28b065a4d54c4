// A float's bit pattern and back: the form Direct3D render states take float values in, the form the
// engine's file formats store floats in (little-endian words), and what hashes of float keys read.
#pragma once

#include <cstdint>
#include <cstring>

// The IEEE bits of value.
inline uint32_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The float whose IEEE bits are bits.
inline float FloatFromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
