#include "host/rm/x_import_assimp.h"

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

void AddVertices(const aiMesh& mesh, const aiMatrix4x4& world, HostRMXFlat& out) {
    aiMatrix3x3 normalMatrix(world);
    float determinant = normalMatrix.Determinant();
    if (std::isfinite(determinant) && determinant != 0.0f) normalMatrix.Inverse().Transpose();
    const aiVector3D* uv = mesh.mTextureCoords[0];
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
        out.positions.push_back(FileSpace(world * mesh.mVertices[v]));
        aiVector3D normal(0, 0, 0);
        if (mesh.mNormals) {
            normal = normalMatrix * mesh.mNormals[v];
            float length = normal.Length();
            if (std::isfinite(length) && length > 0.0f) normal /= length;
        }
        out.normals.push_back(FileSpace(normal));
        out.texCoords.push_back(uv ? uv[v].x : 0.0f);
        out.texCoords.push_back(uv ? 1.0f - uv[v].y : 0.0f);
    }
}

bool AddMesh(const aiMesh& mesh, const aiMatrix4x4& world, uint32_t materials, HostRMXFlat& out) {
    size_t base = out.positions.size();
    if (mesh.mNumVertices > kHostRMXMaxCorners - base || !mesh.mVertices) return false;
    AddVertices(mesh, world, out);
    uint32_t material = mesh.mMaterialIndex < materials ? mesh.mMaterialIndex : kHostRMXNoMaterial;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices < 3 || !face.mIndices) continue; // points and lines are not drawn
        if (face.mNumIndices > kHostRMXMaxCorners - out.corners.size()) return false;
        for (unsigned k = face.mNumIndices; k-- > 0;) {
            unsigned vertex = face.mIndices[k];
            if (vertex >= mesh.mNumVertices) return false;
            out.corners.push_back(static_cast<uint32_t>(base + vertex));
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
        for (unsigned i = 0; i < node->mNumMeshes; ++i) {
            unsigned index = node->mMeshes[i];
            if (index >= scene.mNumMeshes || !scene.mMeshes[index]) return false;
            if (!AddMesh(*scene.mMeshes[index], world, materials, out)) return false;
        }
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
// for a decimal point: "1,0,0" (a list of reals written as integers) reads as 1.0 and then fails.
std::vector<char> SeparatedLists(const char* text, size_t size) {
    std::vector<char> out;
    out.reserve(size + size / 8);
    bool inString = false;
    for (size_t at = 0; at < size; ++at) {
        char c = text[at];
        if (!inString && (c == '#' || (c == '/' && at + 1 < size && text[at + 1] == '/'))) {
            for (; at < size && text[at] != '\n'; ++at)
                out.push_back(text[at]);
            if (at == size) break;
            c = text[at];
        }
        out.push_back(c);
        if (c == '"') inString = !inString;
        if (!inString && c == ',' && at > 0 && at + 1 < size && IsDigit(text[at - 1]) &&
            IsDigit(text[at + 1]))
            out.push_back(' ');
    }
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
