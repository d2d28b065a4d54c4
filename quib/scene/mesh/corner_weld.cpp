#include "quib/scene/mesh/corner_weld.h"

#include <cmath>
#include <cstdint>

#include "quib/scene/math/float_bits.h"

size_t CornerWelder::KeyHash::operator()(const Key& key) const {
    uint64_t hash = 1469598103934665603ull; // FNV-1a over the bit patterns
    for (float value : key.value) {
        value += 0.0f; // -0.0 hashes as +0.0, as the two compare equal
        const uint32_t bits = FloatBits(value);
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (bits >> shift) & 0xFF;
            hash *= 1099511628211ull;
        }
    }
    return size_t(hash);
}

bool CornerWelder::KeyEqual::operator()(const Key& a, const Key& b) const {
    for (int i = 0; i < 5; ++i)
        if (!(a.value[i] == b.value[i])) return false;
    return true;
}

size_t CornerWelder::Add(const DPVertex& corner) {
    const Key key{{corner.x, corner.y, corner.z, corner.tu, corner.tv}};
    bool hasNaN = false;
    for (float value : key.value)
        hasNaN = hasNaN || std::isnan(value);
    // A NaN key would never be found again: it gets a vertex without entering the map.
    if (!hasNaN) {
        auto found = indexOf_.find(key);
        if (found != indexOf_.end()) return found->second;
        indexOf_.emplace(key, vertices_.size());
    }
    vertices_.push_back(corner);
    return vertices_.size() - 1;
}
