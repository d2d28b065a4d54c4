#include "host/rm/x_import.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <new>
#include <string>
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

// How the faces of one file material are drawn.
struct MaterialLook {
    uint32_t look = 0;
    D3DCOLOR colour = 0xFFFFFFFF;
};

class XImport {
  public:
    XImport(const aiScene& scene, D3DRMLOADTEXTURECALLBACK callback, void* arg,
            HostRMMeshBuilder::Contents& out)
        : scene_(scene), callback_(callback), arg_(arg), out_(out) {}

    bool Run() {
        for (unsigned i = 0; i < scene_.mNumMaterials; ++i)
            materials_.push_back(ReadMaterial(scene_.mMaterials[i]));
        return FlattenNodes();
    }

  private:
    MaterialLook ReadMaterial(const aiMaterial* material) {
        MaterialLook result;
        if (!material) return result;
        aiColor4D diffuse(1.0f, 1.0f, 1.0f, 1.0f);
        material->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
        result.colour = PackColour(diffuse);

        float power = 0.0f;
        material->Get(AI_MATKEY_SHININESS, power);
        HostRMMaterial* made = nullptr;
        if (FAILED(HostRMMaterial::Create(std::isfinite(power) && power > 0.0f ? power : 0.0f, &made)))
            return result;
        aiColor3D specular(0, 0, 0), emissive(0, 0, 0);
        material->Get(AI_MATKEY_COLOR_SPECULAR, specular);
        material->Get(AI_MATKEY_COLOR_EMISSIVE, emissive);
        made->SetSpecular(specular.r, specular.g, specular.b);
        made->SetEmissive(emissive.r, emissive.g, emissive.b);

        HostRMTexture* texture = nullptr;
        aiString name;
        if (material->GetTextureCount(aiTextureType_DIFFUSE) > 0 &&
            material->GetTexture(aiTextureType_DIFFUSE, 0, &name) == aiReturn_SUCCESS && name.length > 0)
            texture = TextureNamed(std::string(name.C_Str()));

        out_.looks.push_back(HostRMLook{HostHeld<HostRMMaterial>(made), HostHeld<HostRMTexture>(texture)});
        made->Release(); // the look holds it
        result.look = static_cast<uint32_t>(out_.looks.size() - 1);
        return result;
    }

    // The texture the callback gives for name, asked once per name; NULL when it fails.
    HostRMTexture* TextureNamed(const std::string& name) {
        auto known = textures_.find(name);
        if (known != textures_.end()) return known->second.Get();
        HostHeld<HostRMTexture>& entry = textures_[name];
        if (!callback_) return nullptr;
        // The callback may rewrite the name in place (a new extension, say): give it room.
        std::vector<char> buffer(name.begin(), name.end());
        buffer.resize(name.size() + 1 + D3DRM_TEXTURE_NAME_ROOM, '\0');
        IDirect3DRMTexture* given = nullptr;
        HRESULT hr = callback_(buffer.data(), arg_, &given);
        if (SUCCEEDED(hr)) entry = HostHeld<HostRMTexture>(HostRMTexture::From(given));
        if (given) given->Release(); // the entry holds its own reference
        return entry.Get();
    }

    bool FlattenNodes() {
        if (!scene_.mRootNode) return false;
        std::vector<std::pair<const aiNode*, aiMatrix4x4>> pending = {{scene_.mRootNode, aiMatrix4x4()}};
        while (!pending.empty()) {
            auto [node, parent] = pending.back();
            pending.pop_back();
            aiMatrix4x4 world = parent * node->mTransformation;
            for (unsigned i = 0; i < node->mNumMeshes; ++i) {
                unsigned index = node->mMeshes[i];
                if (index >= scene_.mNumMeshes || !scene_.mMeshes[index]) return false;
                if (!AddMesh(*scene_.mMeshes[index], world)) return false;
            }
            // Children in reverse so that they come off the stack in file order.
            for (unsigned i = node->mNumChildren; i-- > 0;)
                if (node->mChildren[i]) pending.emplace_back(node->mChildren[i], world);
        }
        return true;
    }

    bool AddMesh(const aiMesh& mesh, const aiMatrix4x4& world) {
        MaterialLook look =
            mesh.mMaterialIndex < materials_.size() ? materials_[mesh.mMaterialIndex] : MaterialLook{};
        size_t base = out_.positions.size();
        if (mesh.mNumVertices > kHostRMXMaxCorners - base || !mesh.mVertices) return false;
        AddVertices(mesh, world);
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices < 3 || !face.mIndices) continue; // points and lines are not drawn
            if (face.mNumIndices > kHostRMXMaxCorners - out_.corners.size()) return false;
            HostRMBuilderFace made;
            made.firstCorner = static_cast<uint32_t>(out_.corners.size());
            made.cornerCount = face.mNumIndices;
            made.look = look.look;
            made.colour = look.colour;
            for (unsigned k = face.mNumIndices; k-- > 0;) {
                unsigned vertex = face.mIndices[k];
                if (vertex >= mesh.mNumVertices) return false;
                uint32_t at = static_cast<uint32_t>(base + vertex);
                out_.corners.push_back(HostRMCorner{at, at});
            }
            out_.faces.push_back(made);
        }
        return true;
    }

    void AddVertices(const aiMesh& mesh, const aiMatrix4x4& world) {
        aiMatrix3x3 normalMatrix(world);
        float determinant = normalMatrix.Determinant();
        if (std::isfinite(determinant) && determinant != 0.0f) normalMatrix.Inverse().Transpose();
        const aiVector3D* uv = mesh.mTextureCoords[0];
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
            out_.positions.push_back(FileSpace(world * mesh.mVertices[v]));
            aiVector3D normal(0, 0, 0);
            if (mesh.mNormals) {
                normal = normalMatrix * mesh.mNormals[v];
                float length = normal.Length();
                if (std::isfinite(length) && length > 0.0f) normal /= length;
            }
            out_.normals.push_back(FileSpace(normal));
            out_.texCoords.push_back(uv ? uv[v].x : 0.0f);
            out_.texCoords.push_back(uv ? 1.0f - uv[v].y : 0.0f);
        }
    }

    const aiScene& scene_;
    D3DRMLOADTEXTURECALLBACK callback_;
    void* arg_;
    HostRMMeshBuilder::Contents& out_;
    std::vector<MaterialLook> materials_;
    std::map<std::string, HostHeld<HostRMTexture>> textures_;
};

// The importer believes the counts a file gives (vertices, faces, list sizes) and allocates for them
// before reading the elements. No count of a sound file exceeds the number of its bytes, and a file's
// other integers (indices, flags, times) stay small: any integer above the bound marks a file the
// importer must not see.
uint64_t CountBound(size_t size) {
    return std::max<uint64_t>(size, 65536);
}

bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}

bool IsWordByte(uint8_t c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.' ||
           c == '-' || c == '+';
}

// Text form: every integer (a digit run that is not part of a name or a real number) within the bound
// and not negative; "#" and "//" comments are skipped.
bool TextCountsPlausible(const uint8_t* data, size_t size) {
    uint64_t bound = CountBound(size);
    for (size_t at = 16; at < size;) {
        uint8_t c = data[at];
        if (c == '#' || (c == '/' && at + 1 < size && data[at + 1] == '/')) {
            while (at < size && data[at] != '\n')
                ++at;
            continue;
        }
        bool negative = c == '-' && at + 1 < size && IsDigit(data[at + 1]) && !IsWordByte(data[at - 1]);
        if (negative) {
            ++at; // a negative integer is a huge count to the importer
            c = data[at];
        }
        if (!IsDigit(c) || (!negative && IsWordByte(data[at - 1]))) {
            ++at;
            continue;
        }
        uint64_t value = 0;
        while (at < size && IsDigit(data[at])) {
            value = std::min<uint64_t>(value * 10 + (data[at++] - '0'), bound + 1);
        }
        bool real = at < size && (data[at] == '.' || data[at] == 'e' || data[at] == 'E');
        if (!real && (value > bound || (negative && value > 0))) return false;
    }
    return true;
}

uint32_t ReadWord(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

// Binary form: only known tokens, every integer and integer list within the bound, every list and name
// within the file.
bool BinaryCountsPlausible(const uint8_t* data, size_t size, size_t floatBytes) {
    uint64_t bound = CountBound(size);
    size_t at = 16;
    auto left = [&] { return size - at; };
    while (left() >= 2) {
        unsigned token = data[at] | data[at + 1] << 8;
        at += 2;
        if (token == 1 || token == 2 || token == 6 || token == 7) { // name, string, integer and real lists
            if (left() < 4) return false;
            uint64_t count = ReadWord(data + at);
            at += 4;
            uint64_t bytes =
                token <= 2 ? count + (token == 2 ? 2 : 0) : count * (token == 6 ? 4 : floatBytes);
            if (bytes > left()) return false;
            if (token == 6)
                for (uint64_t i = 0; i < count; ++i)
                    if (ReadWord(data + at + 4 * i) > bound) return false;
            at += bytes;
        } else if (token == 3) { // one integer
            if (left() < 4 || ReadWord(data + at) > bound) return false;
            at += 4;
        } else if (token == 5) { // a GUID
            if (left() < 16) return false;
            at += 16;
        } else if (!(token >= 10 && token <= 20) && !(token >= 0x28 && token <= 0x37)) {
            return false; // not a token: the importer would take its bytes for a number
        }
    }
    return true;
}

// The outline of a file's objects: names, braces, and everything else as one kind.
struct OutlineToken {
    enum Kind { kName, kOpen, kClose, kOther } kind;
    std::string name;
};

bool IsSpace(uint8_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsPunctuation(uint8_t c) {
    return c == '{' || c == '}' || c == ';' || c == ',';
}

bool IsNumber(const std::string& word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return IsDigit(uint8_t(c)); });
}

std::vector<OutlineToken> TextOutline(const uint8_t* data, size_t size) {
    std::vector<OutlineToken> out;
    for (size_t at = 16; at < size;) {
        uint8_t c = data[at];
        if (c == '#' || (c == '/' && at + 1 < size && data[at + 1] == '/')) {
            while (at < size && data[at] != '\n')
                ++at;
        } else if (c == '"') {
            for (++at; at < size && data[at] != '"';)
                ++at;
            ++at;
            out.push_back({OutlineToken::kOther, {}});
        } else if (IsSpace(c)) {
            ++at;
        } else if (IsPunctuation(c)) {
            ++at;
            if (c == '{' || c == '}')
                out.push_back({c == '{' ? OutlineToken::kOpen : OutlineToken::kClose, {}});
            else
                out.push_back({OutlineToken::kOther, {}});
        } else {
            // As the importer reads words: everything up to white space or punctuation.
            size_t start = at;
            while (at < size && !IsSpace(data[at]) && !IsPunctuation(data[at]) && data[at] != '"')
                ++at;
            out.push_back({OutlineToken::kName, std::string(data + start, data + at)});
        }
    }
    return out;
}

// The binary form's outline; the tokens are known to be whole (BinaryCountsPlausible).
std::vector<OutlineToken> BinaryOutline(const uint8_t* data, size_t size, size_t floatBytes) {
    std::vector<OutlineToken> out;
    for (size_t at = 16; at + 2 <= size;) {
        unsigned token = data[at] | data[at + 1] << 8;
        at += 2;
        if (token == 1 || token == 2 || token == 6 || token == 7) {
            uint64_t count = ReadWord(data + at);
            at += 4;
            uint64_t bytes =
                token <= 2 ? count + (token == 2 ? 2 : 0) : count * (token == 6 ? 4 : floatBytes);
            if (token == 1)
                out.push_back({OutlineToken::kName, std::string(data + at, data + at + count)});
            else
                out.push_back({OutlineToken::kOther, {}});
            at += bytes;
        } else if (token == 10 || token == 11) {
            out.push_back({token == 10 ? OutlineToken::kOpen : OutlineToken::kClose, {}});
        } else {
            at += token == 3 ? 4 : token == 5 ? 16 : 0;
            out.push_back({OutlineToken::kOther, {}});
        }
    }
    return out;
}

// Every material list holds at least one material, and nothing but its numbers, materials and references
// to them.
// (The importer crashes on a list whose faces name a material it holds none of, which is what a list
// of only other objects becomes.)
bool MaterialListsSound(const std::vector<OutlineToken>& tokens) {
    auto isName = [&](size_t i, const char* name) {
        return tokens[i].kind == OutlineToken::kName && (!name || tokens[i].name == name);
    };
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (!isName(i, "MeshMaterialList") || tokens[i + 1].kind != OutlineToken::kOpen) continue;
        int depth = 0, materials = 0;
        for (size_t j = i + 1; j < tokens.size(); ++j) {
            if (tokens[j].kind == OutlineToken::kClose && --depth == 0) break;
            // In the list itself: numbers, and material headers ("Material" and an optional name).
            if (depth == 1 && isName(j, nullptr) && !IsNumber(tokens[j].name) && !isName(j, "Material") &&
                !(isName(j - 1, "Material") && j + 1 < tokens.size() &&
                  tokens[j + 1].kind == OutlineToken::kOpen))
                return false;
            if (tokens[j].kind != OutlineToken::kOpen || ++depth != 2) continue;
            bool material =
                isName(j - 1, "Material") || (isName(j - 1, nullptr) && isName(j - 2, "Material"));
            bool reference = !isName(j - 1, nullptr);
            if (!material && !reference) return false;
            ++materials;
        }
        if (materials == 0) return false;
    }
    return true;
}

// Whether the file may go to the importer: text and binary forms with plausible counts and sound
// material lists. Compressed forms are passed on as they are (their contents are only seen after
// inflating).
bool CountsPlausible(const uint8_t* data, size_t size) {
    if (std::memcmp(data + 8, "txt ", 4) == 0)
        return TextCountsPlausible(data, size) && MaterialListsSound(TextOutline(data, size));
    size_t floatBytes = std::memcmp(data + 12, "0064", 4) == 0 ? 8 : 4;
    if (std::memcmp(data + 8, "bin ", 4) == 0)
        return BinaryCountsPlausible(data, size, floatBytes) &&
               MaterialListsSound(BinaryOutline(data, size, floatBytes));
    return true;
}

} // namespace

HRESULT HostRMImportX(const void* data, size_t size, D3DRMLOADTEXTURECALLBACK callback, void* arg,
                      HostRMMeshBuilder::Contents& out) {
    if (!data || size < 16 || size > kHostRMXFileMaxBytes) return D3DRMERR_BADFILE;
    // Only ".x" files: the importer would otherwise try its other readers on what it does not know.
    if (std::memcmp(data, "xof ", 4) != 0) return D3DRMERR_BADFILE;
    if (!CountsPlausible(static_cast<const uint8_t*>(data), size)) return D3DRMERR_BADFILE;
    // The importer believes the counts a file gives and may ask for more memory than there is: a
    // refused allocation fails the load instead of leaving through the caller.
    try {
        Assimp::Importer importer;
        // Only the check of the importer's own output: no step that changes the geometry.
        const aiScene* scene = importer.ReadFileFromMemory(data, size, aiProcess_ValidateDataStructure, "x");
        if (!scene || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE)) return D3DRMERR_BADFILE;
        return XImport(*scene, callback, arg, out).Run() ? D3DRM_OK : D3DRMERR_BADFILE;
    } catch (const std::bad_alloc&) {
        return D3DRMERR_BADALLOC;
    }
}
