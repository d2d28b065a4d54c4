// The .3ds reader: a 3D Studio chunk file read into a small scene model of mesh objects and materials,
// which DPMesh::Load3DS turns into sub-meshes grouped by material. Only geometry, texture coordinates,
// face materials, material colours, texture map names and object pivots are taken over; cameras,
// lights, key-frame tracks and other chunks are skipped or read and dropped.
//
// The file is read through the host's file lookup (any letter case, backslashes), field by field in
// little-endian. Nothing in it is trusted: a chunk shorter than its header, reaching past its parent or
// the file, a string without its terminator inside its chunk or fixed fields that do not fit their chunk
// refuse the file; counts are cut to what their chunk holds; data chunks that come before their object
// or material are skipped; faces and face numbers out of range are dropped. The key-frame block is the
// exception, as the mesh takes nothing from it but pivots: damage there (a cut tail included, which
// leaves the main chunk reaching past the file) ends the reading with the mesh read before it; only a
// chunk shorter than its header still refuses the file there.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Names and map names keep at most this many characters.
constexpr size_t kMaxName3DS = 255;

struct Point3DS {
    float x, y, z;
};

struct TexVertex3DS {
    float u, v;
};

struct Face3DS {
    uint16_t corners[3]; // vertex indices as the file gives them (not checked against the vertices)
    int material;        // index into the scene's materials, -1 for none
};

// One face of one object, as a material's face list names it.
struct FaceRef3DS {
    int object;
    int face;
};

struct Object3DS {
    std::string name;
    std::vector<Point3DS> vertices;
    std::vector<TexVertex3DS> texVertices;
    std::vector<Face3DS> faces;
    float axes[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}}; // x, y, z axis, origin
    float pivot[3] = {0, 0, 0};
};

struct Material3DS {
    std::string name;
    std::string mapName; // texture file with the extension ".bmp", empty for none
    uint8_t ambient[3] = {0, 0, 0};
    uint8_t diffuse[3] = {0, 0, 0};
    uint8_t specular[3] = {0, 0, 0};
    std::vector<FaceRef3DS> faces;
};

class Scene3DS {
  public:
    // Reads the file. 1 with the scene filled; 0 when it cannot be opened (logged "_3DS::Load(%s) :
    // can't find file...") or is malformed (the scene then holds what was read so far).
    int Load(const char* file);

    std::vector<Object3DS> objects;
    std::vector<Material3DS> materials;

  private:
    class Reader;
    enum class Colour { None, Ambient, Diffuse, Specular };

    // Reads every chunk of the file, each container's sub-chunks within it. False when malformed.
    bool ReadChunks(Reader& in);
    // Reads the data of the chunk ending at end whose header was just read. container is set when
    // sub-chunks follow (from the reading position to end). False for a malformed chunk.
    bool ReadChunk(Reader& in, uint16_t id, long end, bool& container);
    bool ReadObject(Reader& in, long end);
    bool ReadPoints(Reader& in, long end);
    bool ReadFaces(Reader& in, long end);
    bool ReadMaterialGroup(Reader& in, long end);
    bool ReadTexVertices(Reader& in, long end);
    bool ReadAxes(Reader& in, long end);
    bool ReadMaterialName(Reader& in, long end);
    bool ReadColour(Reader& in, long end);
    bool ReadMapName(Reader& in, long end);
    bool ReadNodeHeader(Reader& in, long end);
    bool ReadPivot(Reader& in, long end);
    bool ReadTrack(Reader& in, long end, bool rotation);

    // Gives every face of the last object that has no material the material "Default" (made on first
    // need, diffuse red).
    void AssignDefaultMaterial();
    // Appends material; its index.
    int AddMaterial(Material3DS material);
    // Index of the first material named name, or -1.
    int FindMaterial(const std::string& name) const;

    Colour colour_ = Colour::None;                    // what the next colour chunk fills
    std::string nodeName_;                            // of the last key-frame node header
    std::unordered_map<std::string, int> firstNamed_; // material lookup by name
};
