#include "host/rm/x_import.h"

#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "host/rm/testing.h"
#include "host/rm/x_import_spawn.h"

namespace {

// The helper a test stands in for the packaged one, with its time limit.
struct StandIn {
    std::mutex lock;
    bool set = false;
    std::string path;
    std::chrono::milliseconds limit{0};
};

StandIn& TestStandIn() {
    static StandIn standIn;
    return standIn;
}

// Turns the arrays read from a file into builder contents: a look per file material (its material
// object and the texture the callback gives for its name), faces and corners.
class ContentsMaker {
  public:
    ContentsMaker(D3DRMLOADTEXTURECALLBACK callback, void* arg, HostRMMeshBuilder::Contents& out)
        : callback_(callback), arg_(arg), out_(out) {}

    void Make(HostRMXFlat& flat) {
        for (const HostRMXMaterial& material : flat.materials)
            materials_.push_back(MakeLook(material));
        out_.positions = std::move(flat.positions);
        out_.normals = std::move(flat.normals);
        out_.texCoords = std::move(flat.texCoords);
        out_.corners.reserve(flat.corners.size());
        for (uint32_t vertex : flat.corners)
            out_.corners.push_back(HostRMCorner{vertex, vertex});
        out_.faces.reserve(flat.faces.size());
        uint32_t corner = 0;
        for (const HostRMXFace& face : flat.faces) {
            MaterialLook look =
                face.material < materials_.size() ? materials_[face.material] : MaterialLook{};
            out_.faces.push_back(HostRMBuilderFace{corner, face.cornerCount, look.look, look.colour});
            corner += face.cornerCount;
        }
    }

  private:
    // How the faces of one file material are drawn.
    struct MaterialLook {
        uint32_t look = 0;
        D3DCOLOR colour = 0xFFFFFFFF;
    };

    MaterialLook MakeLook(const HostRMXMaterial& material) {
        MaterialLook result;
        result.colour = material.colour;
        HostRMMaterial* made = nullptr;
        float power = std::isfinite(material.power) && material.power > 0.0f ? material.power : 0.0f;
        if (FAILED(HostRMMaterial::Create(power, &made))) return result;
        made->SetSpecular(material.specular[0], material.specular[1], material.specular[2]);
        made->SetEmissive(material.emissive[0], material.emissive[1], material.emissive[2]);
        HostRMTexture* texture = material.texture.empty() ? nullptr : TextureNamed(material.texture);
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

    D3DRMLOADTEXTURECALLBACK callback_;
    void* arg_;
    HostRMMeshBuilder::Contents& out_;
    std::vector<MaterialLook> materials_;
    std::map<std::string, HostHeld<HostRMTexture>> textures_;
};

} // namespace

void HostRMXSetHelperForTesting(const char* path, std::chrono::milliseconds limit) {
    StandIn& standIn = TestStandIn();
    std::lock_guard<std::mutex> hold(standIn.lock);
    standIn.set = path != nullptr;
    standIn.path = path ? path : "";
    standIn.limit = limit;
}

HRESULT HostRMXMakeContents(HostRMXFlat& flat, D3DRMLOADTEXTURECALLBACK callback, void* arg,
                            HostRMMeshBuilder::Contents& out) {
    try {
        ContentsMaker(callback, arg, out).Make(flat);
        return D3DRM_OK;
    } catch (const std::bad_alloc&) {
        return D3DRMERR_BADALLOC;
    }
}

HRESULT HostRMImportX(const void* data, size_t size, D3DRMLOADTEXTURECALLBACK callback, void* arg,
                      HostRMMeshBuilder::Contents& out) {
    if (!data || size < 16 || size > kHostRMXFileMaxBytes) return D3DRMERR_BADFILE;
    // Only ".x" files: the importer would otherwise try its other readers on what it does not know.
    if (std::memcmp(data, "xof ", 4) != 0) return D3DRMERR_BADFILE;
    std::string helper = HostRMXPackagedHelper();
    std::chrono::milliseconds limit = kHostRMXReadTimeLimit;
    {
        StandIn& standIn = TestStandIn();
        std::lock_guard<std::mutex> hold(standIn.lock);
        if (standIn.set) helper = standIn.path, limit = standIn.limit;
    }
    try {
        // Assimp is third-party code that crashes, loops or runs out of memory on some broken files: it
        // reads the file in the helper program, so that whatever it does ends there and the file is
        // refused. The texture callback runs here, in this process, once the arrays have arrived.
        HostRMXFlat flat;
        if (!HostRMXReadWithHelper(helper, data, size, limit, flat)) return D3DRMERR_BADFILE;
        return HostRMXMakeContents(flat, callback, arg, out);
    } catch (const std::bad_alloc&) {
        return D3DRMERR_BADALLOC;
    }
}
