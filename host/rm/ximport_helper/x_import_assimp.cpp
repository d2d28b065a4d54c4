#include "host/rm/ximport_helper/x_import_assimp.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// The importer hands the scene over in its right-handed space: z negated (on positions, normals and
// frame transforms), face corners in reverse order and texture v as 1 - v. These undo that, giving
// the file's own left-handed values back.
D3DVECTOR FileSpace(const aiVector3D& v) {
    return D3DVECTOR{v.x, v.y, -v.z};
}

// A colour of 0..1 components as 0xAARRGGBB (outside values clamped, NaN as 0).
D3DCOLOR PackColour(const aiColor4D& colour) {
    auto byte = [](float value) -> DWORD {
        if (!(value > 0.0f)) return 0;
        if (value >= 1.0f) return 255;
        return static_cast<DWORD>(std::lround(value * 255.0f));
    };
    return byte(colour.a) << 24 | byte(colour.r) << 16 | byte(colour.g) << 8 | byte(colour.b);
}

HostRMXMaterial ReadMaterial(const aiMaterial* material) {
    HostRMXMaterial result;
    if (!material) return result;
    aiColor4D diffuse(1.0f, 1.0f, 1.0f, 1.0f);
    material->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
    result.colour = PackColour(diffuse);
    material->Get(AI_MATKEY_SHININESS, result.power);
    aiColor3D specular(0, 0, 0), emissive(0, 0, 0);
    material->Get(AI_MATKEY_COLOR_SPECULAR, specular);
    material->Get(AI_MATKEY_COLOR_EMISSIVE, emissive);
    result.specular[0] = specular.r, result.specular[1] = specular.g, result.specular[2] = specular.b;
    result.emissive[0] = emissive.r, result.emissive[1] = emissive.g, result.emissive[2] = emissive.b;
    aiString name;
    if (material->GetTextureCount(aiTextureType_DIFFUSE) > 0 &&
        material->GetTexture(aiTextureType_DIFFUSE, 0, &name) == aiReturn_SUCCESS)
        result.texture = name.C_Str();
    if (result.texture.size() > kHostRMXMaxNameBytes) result.texture.clear();
    return result;
}

// A vertex as the builder holds it: position, normal and texture coordinates, compared bit for bit
// (-0 taken as 0, so that equal values always meet).
struct VertexKey {
    uint32_t bits[8];
    bool operator==(const VertexKey& other) const { return std::memcmp(bits, other.bits, sizeof bits) == 0; }
};

uint64_t HashOf(const VertexKey& key) {
    uint64_t hash = 0x9E3779B97F4A7C15ull;
    for (uint32_t word : key.bits)
        hash = (hash ^ word) * 0x100000001B3ull;
    return hash ^ hash >> 29;
}

VertexKey KeyOf(const D3DVECTOR& position, const D3DVECTOR& normal, float u, float v) {
    const float values[8] = {position.x, position.y, position.z, normal.x, normal.y, normal.z, u, v};
    VertexKey key;
    for (int i = 0; i < 8; ++i) {
        float value = values[i] == 0.0f ? 0.0f : values[i];
        std::memcpy(&key.bits[i], &value, sizeof value);
    }
    return key;
}

// The vertices of one frame's meshes: the importer gives each face corner a vertex of its own (and
// splits a file mesh by material); corners equal in position, normal and texture coordinates become
// one vertex again, which gives the file's own vertices back. An open-addressing table of at least
// twice as many slots as the corners it will see (corners, the meshes' vertex count), so it never fills.
class Welder {
  public:
    Welder(HostRMXFlat& out, size_t corners) : out_(out), first_(out.positions.size()) {
        size_t slots = 16;
        while (slots < 2 * corners)
            slots *= 2;
        slots_.assign(slots, 0);
    }

    // The index in out of the vertex (added when new); false past kHostRMXMaxCorners vertices or
    // past the corners promised.
    bool Add(const D3DVECTOR& position, const D3DVECTOR& normal, float u, float v, uint32_t& index) {
        VertexKey key = KeyOf(position, normal, u, v);
        size_t mask = slots_.size() - 1;
        for (size_t slot = HashOf(key) & mask;; slot = (slot + 1) & mask) {
            uint32_t held = slots_[slot]; // 1 + the vertex's index among keys_; 0 for an empty slot
            if (held != 0 && keys_[held - 1] == key) {
                index = uint32_t(first_ + held - 1);
                return true;
            }
            if (held != 0) continue;
            if (out_.positions.size() >= kHostRMXMaxCorners || 2 * (keys_.size() + 1) > slots_.size())
                return false;
            keys_.push_back(key);
            slots_[slot] = uint32_t(keys_.size());
            index = uint32_t(out_.positions.size());
            out_.positions.push_back(position);
            out_.normals.push_back(normal);
            out_.texCoords.push_back(u);
            out_.texCoords.push_back(v);
            return true;
        }
    }

  private:
    HostRMXFlat& out_;
    size_t first_;
    std::vector<uint32_t> slots_;
    std::vector<VertexKey> keys_;
};

// Adds the mesh's vertices placed by world through welder; indexOf maps the mesh's vertices to out's.
bool AddVertices(const aiMesh& mesh, const aiMatrix4x4& world, Welder& welder,
                 std::vector<uint32_t>& indexOf) {
    aiMatrix3x3 normalMatrix(world);
    float determinant = normalMatrix.Determinant();
    if (std::isfinite(determinant) && determinant != 0.0f) normalMatrix.Inverse().Transpose();
    const aiVector3D* uv = mesh.mTextureCoords[0];
    indexOf.resize(mesh.mNumVertices);
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
        aiVector3D normal(0, 0, 0);
        if (mesh.mNormals) {
            normal = normalMatrix * mesh.mNormals[v];
            float length = normal.Length();
            if (std::isfinite(length) && length > 0.0f) normal /= length;
        }
        if (!welder.Add(FileSpace(world * mesh.mVertices[v]), FileSpace(normal), uv ? uv[v].x : 0.0f,
                        uv ? 1.0f - uv[v].y : 0.0f, indexOf[v]))
            return false;
    }
    return true;
}

bool AddMesh(const aiMesh& mesh, const aiMatrix4x4& world, uint32_t materials, Welder& welder,
             HostRMXFlat& out) {
    if (mesh.mNumVertices > kHostRMXMaxCorners || !mesh.mVertices) return false;
    std::vector<uint32_t> indexOf;
    if (!AddVertices(mesh, world, welder, indexOf)) return false;
    uint32_t material = mesh.mMaterialIndex < materials ? mesh.mMaterialIndex : kHostRMXNoMaterial;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices < 3 || !face.mIndices) continue; // points and lines are not drawn
        if (face.mNumIndices > kHostRMXMaxCorners - out.corners.size()) return false;
        for (unsigned k = face.mNumIndices; k-- > 0;) {
            unsigned vertex = face.mIndices[k];
            if (vertex >= mesh.mNumVertices) return false;
            out.corners.push_back(indexOf[vertex]);
        }
        out.faces.push_back(HostRMXFace{face.mNumIndices, material});
    }
    return true;
}

bool FlattenNodes(const aiScene& scene, HostRMXFlat& out) {
    if (!scene.mRootNode) return false;
    uint32_t materials = static_cast<uint32_t>(out.materials.size());
    std::vector<std::pair<const aiNode*, aiMatrix4x4>> pending = {{scene.mRootNode, aiMatrix4x4()}};
    while (!pending.empty()) {
        auto [node, parent] = pending.back();
        pending.pop_back();
        aiMatrix4x4 world = parent * node->mTransformation;
        // The importer hangs a frame's meshes (one per material of each file mesh) on the frame's node.
        size_t corners = 0;
        for (unsigned i = 0; i < node->mNumMeshes; ++i) {
            unsigned index = node->mMeshes[i];
            if (index >= scene.mNumMeshes || !scene.mMeshes[index]) return false;
            corners += scene.mMeshes[index]->mNumVertices;
        }
        if (corners > kHostRMXMaxCorners) return false;
        Welder welder(out, corners);
        for (unsigned i = 0; i < node->mNumMeshes; ++i)
            if (!AddMesh(*scene.mMeshes[node->mMeshes[i]], world, materials, welder, out)) return false;
        // Children in reverse so that they come off the stack in file order.
        for (unsigned i = node->mNumChildren; i-- > 0;)
            if (node->mChildren[i]) pending.emplace_back(node->mChildren[i], world);
    }
    return true;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text form with a space after each comma between two digits, outside strings and comments. Its
// commas only separate list elements, but the importer's real reader takes a comma followed by a digit
// for a decimal point: "1,0,0" (a list of reals written as integers) reads as 1.0 and then fails. One
// pass, character by character; a comment is copied whole.
std::vector<char> SeparatedLists(const char* text, size_t size) {
    std::vector<char> out(size + size / 2 + 1); // at worst every other character is such a comma
    char* to = out.data();
    bool inString = false;
    for (size_t at = 0; at < size; ++at) {
        char c = text[at];
        *to++ = c;
        if (c != ',' && c != '"' && c != '#' && c != '/') continue;
        if (c == '"') {
            inString = !inString;
        } else if (inString) {
            continue;
        } else if (c == ',') {
            if (at > 0 && at + 1 < size && IsDigit(text[at - 1]) && IsDigit(text[at + 1])) *to++ = ' ';
        } else if (c == '#' || (at + 1 < size && text[at + 1] == '/')) {
            // A comment runs to its line's end.
            const void* end = std::memchr(text + at + 1, '\n', size - at - 1);
            size_t rest = (end ? size_t(static_cast<const char*>(end) - text) : size) - at - 1;
            std::memcpy(to, text + at + 1, rest);
            to += rest, at += rest;
        }
    }
    out.resize(size_t(to - out.data()));
    return out;
}

} // namespace

bool HostRMXReadWithAssimp(const void* data, size_t size, HostRMXFlat& out) {
    std::vector<char> text;
    if (size >= 16 && std::memcmp(static_cast<const char*>(data) + 8, "txt ", 4) == 0) {
        text = SeparatedLists(static_cast<const char*>(data), size);
        data = text.data(), size = text.size();
    }
    Assimp::Importer importer;
    // Only the check of the importer's own output: no step that changes the geometry.
    const aiScene* scene = importer.ReadFileFromMemory(data, size, aiProcess_ValidateDataStructure, "x");
    if (!scene || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || scene->mNumMaterials > kHostRMXMaxMaterials)
        return false;
    for (unsigned i = 0; i < scene->mNumMaterials; ++i)
        out.materials.push_back(ReadMaterial(scene->mMaterials[i]));
    return FlattenNodes(*scene, out);
}
