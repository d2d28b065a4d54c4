#include "quib/scene/mesh/m3d_file.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "quib/scene/math/float_bits.h"

namespace {

// Smallest sizes of the records whose counts the file gives: every count is checked against the bytes
// left before anything is allocated for it.
constexpr size_t kMaterialBytes = 584;
constexpr size_t kObjectBytes = 648; // fixed part and the five counts
constexpr size_t kVertexBytes = 44;
constexpr size_t kFaceBytes = 28; // the counts, material index and face normal of an empty face
constexpr size_t kCornerBytes = 4;
constexpr size_t kNormalBytes = 12;
constexpr size_t kTextureIndexBytes = 4;
constexpr size_t kTexturePointBytes = 8;
constexpr size_t kPositionKeyBytes = 16;
constexpr size_t kRotationKeyBytes = 20;

// Little-endian fields read in order from a FILE through a buffer of its own. The first failure (end of
// file, a read error, a count too large for the bytes left) sticks: later reads fail too and yield
// zeros, so a record can be read whole and checked once.
class M3dStream {
  public:
    explicit M3dStream(FILE* file) : file_(file) {
        const long start = std::ftell(file);
        if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) {
            failed_ = true;
            return;
        }
        const long end = std::ftell(file);
        if (end < start || std::fseek(file, start, SEEK_SET) != 0) {
            failed_ = true;
            return;
        }
        left_ = uint64_t(end - start);
    }

    bool Ok() const { return !failed_; }

    // n bytes into out (zeros when they are not there).
    bool Bytes(void* out, size_t n) {
        auto* to = static_cast<uint8_t*>(out);
        if (failed_ || n > left_) return Fail(to, n);
        left_ -= n;
        while (n) {
            if (pos_ == end_ && !Refill()) return Fail(to, n);
            const size_t take = std::min(n, end_ - pos_);
            std::memcpy(to, buffer_ + pos_, take);
            pos_ += take;
            to += take;
            n -= take;
        }
        return true;
    }

    bool Skip(size_t n) {
        if (failed_ || n > left_) return Fail(nullptr, 0);
        left_ -= n;
        while (n) {
            if (pos_ == end_ && !Refill()) return Fail(nullptr, 0);
            const size_t take = std::min(n, end_ - pos_);
            pos_ += take;
            n -= take;
        }
        return true;
    }

    int32_t Int() {
        uint8_t b[4];
        Bytes(b, 4);
        return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
    }

    float Float() { return FloatFromBits(uint32_t(Int())); }

    // A zero-terminated name in a field of kM3dNameSize bytes: forced to end within the field.
    void Name(char* out) {
        Bytes(out, kM3dNameSize);
        out[kM3dNameSize - 1] = '\0';
    }

    // A count of records at least recordBytes long each. A count <= 0 is an empty list; one whose records
    // cannot fit in the bytes left breaks the stream. 0 once the stream failed.
    size_t Count(size_t recordBytes) {
        const int32_t n = Int();
        if (failed_ || n <= 0) return 0;
        if (uint64_t(n) * recordBytes > left_) {
            Fail(nullptr, 0);
            return 0;
        }
        return size_t(n);
    }

  private:
    bool Refill() {
        pos_ = 0;
        end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
        return end_ > 0;
    }

    bool Fail(uint8_t* zero, size_t n) {
        if (zero && n) std::memset(zero, 0, n);
        failed_ = true;
        return false;
    }

    FILE* file_;
    uint8_t buffer_[1 << 16];
    size_t pos_ = 0, end_ = 0;
    uint64_t left_ = 0; // bytes of the file not yet consumed
    bool failed_ = false;
};

void ReadMaterial(M3dStream& in, M3dMaterial& m) {
    in.Name(m.name);
    in.Name(m.bitmap);
    in.Skip(16); // colour 1
    uint8_t colour2[16];
    in.Bytes(colour2, sizeof colour2);
    std::memcpy(m.flat, colour2 + 12, 3);
    in.Skip(16 + 4); // colour 3, an unused value
    m.tiling = in.Int();
    m.uOffset = in.Float();
    m.vOffset = in.Float();
    m.uScale = in.Float();
    m.vScale = in.Float();
}

void ReadFace(M3dStream& in, size_t vertexCount, M3dFace& f) {
    const size_t corners = in.Count(kCornerBytes);
    f.triangle = corners >= 3;
    for (size_t k = 0; k < corners; ++k) {
        const int32_t index = in.Int();
        if (k >= 3) continue;
        f.corner[k] = index;
        f.triangle = f.triangle && index >= 0 && size_t(index) < vertexCount;
    }
    in.Skip(4 + 12); // face material index (unused by the engine), face normal
    in.Skip(in.Count(kNormalBytes) * kNormalBytes);
    const size_t textureIndices = in.Count(kTextureIndexBytes);
    std::fill(std::begin(f.texture), std::end(f.texture), -1);
    for (size_t k = 0; k < textureIndices; ++k) {
        const int32_t index = in.Int();
        if (k < 3) f.texture[k] = index;
    }
}

void ReadObject(M3dStream& in, M3dObject& o) {
    in.Name(o.name);
    in.Name(o.parent);
    o.hidden = in.Int();
    o.dummy = in.Int();
    o.material = in.Int();
    for (float& value : o.placement)
        value = in.Float();
    in.Skip(12);
    for (float& value : o.scale)
        value = in.Float();
    in.Skip(32);

    o.vertices.resize(in.Count(kVertexBytes));
    for (M3dPoint& p : o.vertices) {
        in.Skip(4);
        p.x = in.Float();
        p.y = in.Float();
        p.z = in.Float();
        in.Skip(kVertexBytes - 16);
    }
    o.faces.resize(in.Count(kFaceBytes), M3dFace{});
    for (M3dFace& f : o.faces)
        ReadFace(in, o.vertices.size(), f);
    o.texturePoints.resize(in.Count(kTexturePointBytes));
    for (M3dTexturePoint& t : o.texturePoints) {
        t.u = in.Float();
        t.v = in.Float();
    }
    o.positionKeys.resize(in.Count(kPositionKeyBytes));
    for (DPPositionKey& k : o.positionKeys) {
        k.frame = in.Int();
        k.x = in.Float();
        k.y = in.Float();
        k.z = in.Float();
    }
    o.rotationKeys.resize(in.Count(kRotationKeyBytes));
    for (DPRotationKey& k : o.rotationKeys) {
        k.frame = in.Int();
        k.q.w = in.Float();
        k.q.x = in.Float();
        k.q.y = in.Float();
        k.q.z = in.Float();
    }
}

// The object tree: top-level objects in file order; under each object, depth first, the pending
// objects whose parent name is its name, the earliest pending one first. Each object's pending
// children are queued by parent name, which takes them in the very order a rescan of the whole
// pending list from its start would, in linear time. 0 when the tree is deeper than kM3dMaxDepth.
int BuildTree(M3dModel& model) {
    struct Pending {
        std::vector<int> objects; // file order
        size_t next = 0;          // the ones before were taken
    };
    std::unordered_map<std::string_view, Pending> byParent;
    for (size_t i = 0; i < model.objects.size(); ++i) {
        const M3dObject& o = model.objects[i];
        if (o.parent[0])
            byParent[std::string_view(o.parent)].objects.push_back(int(i));
        else
            model.roots.push_back(int(i));
    }
    std::vector<int> path; // the chain from a top-level object down to the one being filled
    for (int root : model.roots) {
        path.assign(1, root);
        while (!path.empty()) {
            M3dObject& top = model.objects[size_t(path.back())];
            auto found = byParent.find(std::string_view(top.name));
            if (found == byParent.end() || found->second.next == found->second.objects.size()) {
                path.pop_back();
                continue;
            }
            const int child = found->second.objects[found->second.next++];
            top.children.push_back(child);
            model.objects[size_t(child)].parentIndex = path.back();
            path.push_back(child);
            if (path.size() > size_t(kM3dMaxDepth)) return 0;
        }
    }
    return 1;
}

} // namespace

int ReadM3dModel(FILE* file, M3dModel& model) {
    if (!file) return 0;
    M3dStream in(file);
    in.Name(model.name);
    for (int& value : model.header)
        value = in.Int();
    model.materials.resize(in.Count(kMaterialBytes), M3dMaterial{});
    for (M3dMaterial& m : model.materials)
        ReadMaterial(in, m);
    model.objects.resize(in.Count(kObjectBytes));
    for (M3dObject& o : model.objects) {
        ReadObject(in, o);
        if (!in.Ok()) return 0;
    }
    if (!in.Ok()) return 0;
    return BuildTree(model);
}
