#include "quib/scene/mesh/load_3ds.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "host/win/paths.h"
#include "quib/platform/debug.h"
#include "quib/scene/math/float_bits.h"

namespace {

constexpr long kHeaderBytes = 6;
constexpr int kNoMaterial = -1;
constexpr const char* kDefaultMaterial = "Default";
constexpr const char* kMapExtension = ".bmp";

// Chunk ids (3D Studio's numbering).
enum : uint16_t {
    kMain = 0x4D4D,
    kEditor = 0x3D3D,
    kNamedObject = 0x4000,
    kTriangleMesh = 0x4100,
    kPointList = 0x4110,
    kFaceList = 0x4120,
    kMaterialGroup = 0x4130,
    kTexVertices = 0x4140,
    kLocalAxes = 0x4160,
    kMaterialBlock = 0xAFFF,
    kMaterialName = 0xA000,
    kAmbient = 0xA010,
    kDiffuse = 0xA020,
    kSpecular = 0xA030,
    kColour24 = 0x0011,
    kTextureMap = 0xA200,
    kMapFileName = 0xA300,
    kKeyFrames = 0xB000,
    kObjectNode = 0xB002,
    kNodeHeader = 0xB010,
    kPivot = 0xB013,
    kPositionTrack = 0xB020,
    kRotationTrack = 0xB021,
};

// The map name as the engine loads it: everything from the first "." becomes ".bmp" (a name without
// one gets ".bmp" appended), cut so that the result keeps to the name limit.
std::string BitmapName(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    base.resize(std::min(base.size(), kMaxName3DS - std::strlen(kMapExtension)));
    return base + kMapExtension;
}

} // namespace

// Little-endian fields of the open file, each read only when it lies before the given limit (the end
// of its chunk), so that no count or length in the file can make it read past its chunk.
class Scene3DS::Reader {
  public:
    explicit Reader(FILE* file) : file_(file) {}

    // Finds the file's size. False when it cannot be measured.
    bool Open() {
        if (std::fseek(file_, 0, SEEK_END) != 0) return false;
        size_ = std::ftell(file_);
        return size_ >= 0 && std::fseek(file_, 0, SEEK_SET) == 0;
    }
    long Size() const { return size_; }
    long Position() const { return position_; }
    // Bytes left before limit.
    long Left(long limit) const { return limit - position_; }

    bool Seek(long to) {
        if (to < 0 || to > size_ || std::fseek(file_, to, SEEK_SET) != 0) return false;
        position_ = to;
        return true;
    }
    bool Bytes(uint8_t* out, size_t n, long limit) {
        if (Left(limit) < long(n) || std::fread(out, 1, n, file_) != n) return false;
        position_ += long(n);
        return true;
    }
    bool U16(uint16_t& value, long limit) {
        uint8_t b[2];
        if (!Bytes(b, 2, limit)) return false;
        value = uint16_t(b[0] | b[1] << 8);
        return true;
    }
    bool U32(uint32_t& value, long limit) {
        uint8_t b[4];
        if (!Bytes(b, 4, limit)) return false;
        value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        return true;
    }
    bool F32(float& value, long limit) {
        uint32_t bits;
        if (!U32(bits, limit)) return false;
        value = FloatFromBits(bits);
        return true;
    }
    bool Floats(float* out, int n, long limit) {
        for (int i = 0; i < n; ++i)
            if (!F32(out[i], limit)) return false;
        return true;
    }
    // A zero-terminated string of which at most kMaxName3DS characters are kept. False when no
    // terminator comes before limit.
    bool String(std::string& out, long limit) {
        out.clear();
        for (;;) {
            uint8_t c;
            if (!Bytes(&c, 1, limit)) return false;
            if (c == 0) return true;
            if (out.size() < kMaxName3DS) out.push_back(char(c));
        }
    }
    // A count followed by records of recordBytes each, cut to the records the chunk holds.
    bool Count(uint16_t& count, long recordBytes, long limit) {
        if (!U16(count, limit)) return false;
        count = uint16_t(std::min<long>(count, Left(limit) / recordBytes));
        return true;
    }

  private:
    FILE* file_;
    long size_ = 0;
    long position_ = 0;
};

int Scene3DS::Load(const char* file) {
    FILE* stream = file ? HostOpenFile(file, "rb") : nullptr;
    if (!stream) {
        DebugPrintf("_3DS::Load(%s) : can't find file...\n", file ? file : "");
        return 0;
    }
    Reader in(stream);
    const bool read = in.Open() && ReadChunks(in);
    std::fclose(stream);
    AssignDefaultMaterial();
    return read ? 1 : 0;
}

bool Scene3DS::ReadChunks(Reader& in) {
    // The ends of the containers being read, innermost last: each chunk must lie within all of them.
    // Kept in a list rather than on the call stack, so any nesting depth is safe.
    std::vector<long> containers;
    // The key-frame block gives the mesh nothing but pivots: damage inside it ends the reading there with
    // what was read (a pivot counts only when read whole). keyFrames is its place in containers.
    constexpr size_t kOutside = size_t(-1);
    size_t keyFrames = kOutside;
    // The main chunk may reach past the end of the file only when the key-frame block there is cut too.
    bool mainCut = false, keyFramesCut = false;
    for (;;) {
        const long start = in.Position();
        while (!containers.empty() && start == containers.back())
            containers.pop_back();
        if (keyFrames != kOutside && keyFrames >= containers.size()) keyFrames = kOutside;
        const bool inKeyFrames = keyFrames != kOutside;
        const long limit = containers.empty() ? in.Size() : containers.back();
        // A few bytes of padding may follow the last chunk of the file; inside a container they would
        // be a chunk shorter than its header.
        if (containers.empty() && in.Left(limit) < kHeaderBytes) return !mainCut || keyFramesCut;
        uint16_t id;
        uint32_t length;
        if (!in.U16(id, limit) || !in.U32(length, limit)) return inKeyFrames;
        if (length < uint32_t(kHeaderBytes)) return false; // would never move on, wherever it lies
        long end = start + long(length);
        if (length > uint32_t(limit - start)) {
            // Cut to its parent where it may be: what it holds is read until the damage shows.
            if (id == kKeyFrames && !inKeyFrames) {
                keyFramesCut = true;
            } else if (id == kMain && containers.empty()) {
                mainCut = true;
            } else if (!inKeyFrames) {
                return false;
            }
            end = limit;
        }
        bool container = false;
        if (!ReadChunk(in, id, end, container)) return inKeyFrames;
        if (container) {
            if (id == kKeyFrames && !inKeyFrames) keyFrames = containers.size();
            containers.push_back(end);
        } else if (!in.Seek(end)) { // leaf chunks end where their length says, whatever they held
            return inKeyFrames;
        }
    }
}

bool Scene3DS::ReadChunk(Reader& in, uint16_t id, long end, bool& container) {
    switch (id) {
    case kMain:
    case kEditor:
    case 0x3000:
    case 0x2000:
    case 0x1000:
    case kTriangleMesh:
    case kMaterialBlock:
    case kTextureMap:
    case kKeyFrames:
    case kObjectNode: container = true; return true;
    case kAmbient:
    case kDiffuse:
    case kSpecular:
        colour_ = id == kAmbient ? Colour::Ambient : id == kDiffuse ? Colour::Diffuse : Colour::Specular;
        container = true;
        return true;
    case kNamedObject: container = true; return ReadObject(in, end);
    case kFaceList:
        // Its material groups follow the faces inside it; without an object the whole chunk is skipped.
        container = !objects.empty();
        return !container || ReadFaces(in, end);
    case kPointList: return ReadPoints(in, end);
    case kMaterialGroup: return ReadMaterialGroup(in, end);
    case kTexVertices: return ReadTexVertices(in, end);
    case kLocalAxes: return ReadAxes(in, end);
    case kMaterialName: return ReadMaterialName(in, end);
    case kColour24: return ReadColour(in, end);
    case kMapFileName: return ReadMapName(in, end);
    case kNodeHeader: return ReadNodeHeader(in, end);
    case kPivot: return ReadPivot(in, end);
    case kPositionTrack: return ReadTrack(in, end, false);
    case kRotationTrack: return ReadTrack(in, end, true);
    default:
        return true; // skipped by its length (the master scale and cameras too: their values are dropped)
    }
}

bool Scene3DS::ReadObject(Reader& in, long end) {
    AssignDefaultMaterial();
    Object3DS object;
    if (!in.String(object.name, end)) return false;
    objects.push_back(std::move(object));
    return true;
}

bool Scene3DS::ReadPoints(Reader& in, long end) {
    if (objects.empty()) return true;
    uint16_t count;
    if (!in.Count(count, 12, end)) return false;
    std::vector<Point3DS>& vertices = objects.back().vertices;
    vertices.assign(count, Point3DS{0, 0, 0});
    for (Point3DS& p : vertices)
        if (!in.F32(p.x, end) || !in.F32(p.y, end) || !in.F32(p.z, end)) return false;
    return true;
}

bool Scene3DS::ReadFaces(Reader& in, long end) {
    uint16_t count;
    if (!in.Count(count, 8, end)) return false;
    std::vector<Face3DS>& faces = objects.back().faces;
    faces.assign(count, Face3DS{{0, 0, 0}, kNoMaterial});
    for (Face3DS& face : faces) {
        uint16_t flags; // edge visibility, not used
        if (!in.U16(face.corners[0], end) || !in.U16(face.corners[1], end) || !in.U16(face.corners[2], end) ||
            !in.U16(flags, end))
            return false;
    }
    return true;
}

bool Scene3DS::ReadMaterialGroup(Reader& in, long end) {
    if (objects.empty()) return true;
    std::string name;
    uint16_t count;
    if (!in.String(name, end) || !in.Count(count, 2, end)) return false;
    const int material = FindMaterial(name);
    const int object = int(objects.size()) - 1;
    std::vector<Face3DS>& faces = objects.back().faces;
    for (uint16_t i = 0; i < count; ++i) {
        uint16_t face;
        if (!in.U16(face, end)) return false;
        if (face >= faces.size()) continue; // names no face of the object
        faces[face].material = material;
        if (material != kNoMaterial) materials[size_t(material)].faces.push_back(FaceRef3DS{object, face});
    }
    return true;
}

bool Scene3DS::ReadTexVertices(Reader& in, long end) {
    if (objects.empty()) return true;
    uint16_t count;
    if (!in.Count(count, 8, end)) return false;
    std::vector<TexVertex3DS>& uv = objects.back().texVertices;
    uv.assign(count, TexVertex3DS{0, 0});
    for (TexVertex3DS& t : uv)
        if (!in.F32(t.u, end) || !in.F32(t.v, end)) return false;
    return true;
}

bool Scene3DS::ReadAxes(Reader& in, long end) {
    if (objects.empty()) return true;
    return in.Floats(&objects.back().axes[0][0], 12, end);
}

bool Scene3DS::ReadMaterialName(Reader& in, long end) {
    Material3DS material;
    if (!in.String(material.name, end)) return false;
    AddMaterial(std::move(material));
    return true;
}

bool Scene3DS::ReadColour(Reader& in, long end) {
    if (materials.empty() || colour_ == Colour::None) return true;
    Material3DS& material = materials.back();
    uint8_t* rgb = colour_ == Colour::Ambient   ? material.ambient
                   : colour_ == Colour::Diffuse ? material.diffuse
                                                : material.specular;
    return in.Bytes(rgb, 3, end);
}

bool Scene3DS::ReadMapName(Reader& in, long end) {
    if (materials.empty()) return true;
    std::string name;
    if (!in.String(name, end)) return false;
    // An empty name names no texture.
    materials.back().mapName = name.empty() ? std::string() : BitmapName(name);
    return true;
}

bool Scene3DS::ReadNodeHeader(Reader& in, long end) {
    return in.String(nodeName_, end); // three flag words follow, not used
}

bool Scene3DS::ReadPivot(Reader& in, long end) {
    float pivot[3];
    if (!in.Floats(pivot, 3, end)) return false;
    DebugPrintf("Pivot Point <%10.5f,%10.5f,%10.5f>\n", double(pivot[0]), double(pivot[1]), double(pivot[2]));
    for (Object3DS& object : objects)
        if (object.name == nodeName_) {
            std::copy(pivot, pivot + 3, object.pivot);
            break;
        }
    return true;
}

bool Scene3DS::ReadTrack(Reader& in, long end, bool rotation) {
    // Flags, 8 bytes, key count, a further word; per key its frame, 4 bytes, then x, y, z (position) or
    // angle and axis x, y, z (rotation). Logged and dropped.
    uint16_t flags, count, more;
    uint8_t skipped[8];
    if (!in.U16(flags, end) || !in.Bytes(skipped, sizeof skipped, end) || !in.U16(count, end) ||
        !in.U16(more, end))
        return false;
    const int floats = rotation ? 4 : 3;
    count = uint16_t(std::min<long>(count, in.Left(end) / (6 + 4 * floats)));
    DebugPrintf("%s", rotation ? "ROTATION KEY\n" : "POSITION KEY\n");
    for (uint16_t i = 0; i < count; ++i) {
        uint16_t frame;
        uint8_t keyFlags[4];
        float value[4];
        if (!in.U16(frame, end) || !in.Bytes(keyFlags, sizeof keyFlags, end) ||
            !in.Floats(value, floats, end))
            return false;
        DebugPrintf("KEY:%3d,", frame);
        if (rotation) {
            DebugPrintf("XYZ:<%10.5f,%10.5f,%10.5f>,", double(value[1]), double(value[2]), double(value[3]));
            DebugPrintf("RADIUS:%10.5f\n", double(value[0]));
        } else {
            DebugPrintf("XYZ:<%10.5f,%10.5f,%10.5f>\n", double(value[0]), double(value[1]), double(value[2]));
        }
    }
    return true;
}

void Scene3DS::AssignDefaultMaterial() {
    if (objects.empty()) return;
    const int object = int(objects.size()) - 1;
    std::vector<Face3DS>& faces = objects.back().faces;
    int material = kNoMaterial;
    for (size_t i = 0; i < faces.size(); ++i) {
        if (faces[i].material != kNoMaterial) continue;
        if (material == kNoMaterial) material = FindMaterial(kDefaultMaterial);
        if (material == kNoMaterial) {
            Material3DS made;
            made.name = kDefaultMaterial;
            made.diffuse[0] = 255;
            material = AddMaterial(std::move(made));
        }
        faces[i].material = material;
        materials[size_t(material)].faces.push_back(FaceRef3DS{object, int(i)});
    }
}

int Scene3DS::AddMaterial(Material3DS material) {
    const int index = int(materials.size());
    firstNamed_.emplace(material.name, index); // an earlier one of the same name keeps the name
    materials.push_back(std::move(material));
    return index;
}

int Scene3DS::FindMaterial(const std::string& name) const {
    const auto found = firstNamed_.find(name);
    return found == firstNamed_.end() ? kNoMaterial : found->second;
}
