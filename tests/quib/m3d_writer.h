// Writes model files (.m3d) for the loader's tests and benchmark: every field of the layout, with the
// offset of each field boundary recorded so that tests can cut a file anywhere between two fields, and
// the counts overridable so that a file can claim more records than it holds.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace m3dtest {

struct Material {
    std::string name;
    std::string bitmap; // empty: flat colour
    uint8_t rgb[3] = {0, 0, 0};
    int32_t tiling = 0;
    float uOffset = 0, vOffset = 0, uScale = 1, vScale = 1;
};

struct Face {
    std::vector<int32_t> corners;
    std::vector<int32_t> textures;
    int32_t material = 0;
    int32_t normals = 0;                // normals written after the face normal
    std::optional<int32_t> cornerCount; // written instead of the true corner count when set
};

// A face of the given corners and texture-vertex indices.
inline Face MakeFace(std::vector<int32_t> corners, std::vector<int32_t> textures = {}) {
    Face f;
    f.corners = std::move(corners);
    f.textures = std::move(textures);
    return f;
}

struct PositionKey {
    int32_t frame;
    float x, y, z;
};

struct RotationKey {
    int32_t frame;
    float w, x, y, z;
};

struct Object {
    std::string name;
    std::string parent;
    int32_t hidden = 0, dummy = 0, material = 0;
    std::array<float, 12> placement = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    std::array<float, 3> scale = {1, 1, 1};
    std::vector<std::array<float, 3>> vertices;
    std::vector<Face> faces;
    std::vector<std::array<float, 2>> uvs;
    std::vector<PositionKey> positionKeys;
    std::vector<RotationKey> rotationKeys;
    // Written instead of the true counts when set: vertices, faces, uvs, position keys, rotation keys.
    std::array<std::optional<int32_t>, 5> countOverride;
};

struct Model {
    std::string name = "model";
    std::array<int32_t, 4> header = {0, 0, 0, 0};
    std::vector<Material> materials;
    std::vector<Object> objects;
    std::optional<int32_t> materialCountOverride, objectCountOverride;
};

class Writer {
  public:
    std::vector<uint8_t> bytes;
    std::vector<size_t> boundaries; // offset after every field

    void Int(int32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(uint32_t(value) >> (8 * i)));
        boundaries.push_back(bytes.size());
    }
    void Float(float value) {
        int32_t bits;
        std::memcpy(&bits, &value, 4);
        Int(bits);
    }
    // A 256-byte name field: the text, cut to the field, zero-filled (no terminator when it fills it).
    void Name(const std::string& text) { Field(text.data(), std::min<size_t>(text.size(), 256), 256); }
    void Zeros(size_t n) { Field(nullptr, 0, n); }

    void Write(const Model& m) {
        Name(m.name);
        for (int32_t value : m.header)
            Int(value);
        Int(m.materialCountOverride.value_or(int32_t(m.materials.size())));
        for (const Material& material : m.materials)
            Write(material);
        Int(m.objectCountOverride.value_or(int32_t(m.objects.size())));
        for (const Object& object : m.objects)
            Write(object);
    }

  private:
    void Field(const char* data, size_t used, size_t size) {
        const size_t at = bytes.size();
        bytes.resize(at + size, 0);
        if (used) std::memcpy(&bytes[at], data, used);
        boundaries.push_back(bytes.size());
    }

    void Write(const Material& m) {
        Name(m.name);
        Name(m.bitmap);
        Zeros(16);
        const char colour2[16] = {
            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, char(m.rgb[0]), char(m.rgb[1]), char(m.rgb[2]), 0};
        Field(colour2, 16, 16);
        Zeros(16);
        Int(0);
        Int(m.tiling);
        Float(m.uOffset);
        Float(m.vOffset);
        Float(m.uScale);
        Float(m.vScale);
    }

    void Write(const Face& f) {
        Int(f.cornerCount.value_or(int32_t(f.corners.size())));
        for (int32_t c : f.corners)
            Int(c);
        Int(f.material);
        for (int i = 0; i < 3; ++i)
            Float(0.0f);
        Int(f.normals);
        for (int i = 0; i < 3 * f.normals; ++i)
            Float(1.0f);
        Int(int32_t(f.textures.size()));
        for (int32_t t : f.textures)
            Int(t);
    }

    void Write(const Object& o) {
        Name(o.name);
        Name(o.parent);
        Int(o.hidden);
        Int(o.dummy);
        Int(o.material);
        for (float value : o.placement)
            Float(value);
        Zeros(12);
        for (float value : o.scale)
            Float(value);
        Zeros(32);
        Int(o.countOverride[0].value_or(int32_t(o.vertices.size())));
        for (const auto& v : o.vertices) {
            Int(0);
            Float(v[0]);
            Float(v[1]);
            Float(v[2]);
            Zeros(28);
        }
        Int(o.countOverride[1].value_or(int32_t(o.faces.size())));
        for (const Face& f : o.faces)
            Write(f);
        Int(o.countOverride[2].value_or(int32_t(o.uvs.size())));
        for (const auto& uv : o.uvs) {
            Float(uv[0]);
            Float(uv[1]);
        }
        Int(o.countOverride[3].value_or(int32_t(o.positionKeys.size())));
        for (const PositionKey& k : o.positionKeys) {
            Int(k.frame);
            Float(k.x);
            Float(k.y);
            Float(k.z);
        }
        Int(o.countOverride[4].value_or(int32_t(o.rotationKeys.size())));
        for (const RotationKey& k : o.rotationKeys) {
            Int(k.frame);
            Float(k.w);
            Float(k.x);
            Float(k.y);
            Float(k.z);
        }
    }
};

inline std::vector<uint8_t> Bytes(const Model& m) {
    Writer w;
    w.Write(m);
    return w.bytes;
}

} // namespace m3dtest
