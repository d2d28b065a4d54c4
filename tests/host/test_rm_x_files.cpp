// ".x" files as exporters write them load whole: text files in the manners of several exporters
// (templates, frames, animation keys at large ticks, skin weights, vertex colours, whole numbers where
// reals go, negative ones included), the binary form with 32- and 64-bit reals, and both compressed
// forms; and the builder holds the file's own vertices, not one per face corner.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>
#include <zlib.h>

#include "host/rm/mesh_builder.h"
#include "tests/support/files.h"

namespace {

// A binary ".x" file, token by token.
class BinaryX {
  public:
    explicit BinaryX(bool doubles)
        : doubles_(doubles), bytes_(doubles ? "xof 0303bin 0064" : "xof 0303bin 0032") {}

    BinaryX& Token(uint16_t token) { return Put(&token, 2); }
    BinaryX& Open() { return Token(0x0A); }
    BinaryX& Close() { return Token(0x0B); }
    BinaryX& Name(const std::string& name) {
        return Token(1).Count(name.size()).Put(name.data(), name.size());
    }
    BinaryX& String(const std::string& text) {
        return Token(2).Count(text.size()).Put(text.data(), text.size()).Token(0x14);
    }
    BinaryX& Guid() { return Token(5).Put("0123456789abcdef", 16); }
    BinaryX& Ints(std::initializer_list<uint32_t> values) {
        Token(6).Count(values.size());
        for (uint32_t value : values)
            Put(&value, 4);
        return *this;
    }
    BinaryX& Reals(std::initializer_list<double> values) {
        Token(7).Count(values.size());
        for (double value : values) {
            float single = float(value);
            doubles_ ? Put(&value, 8) : Put(&single, 4);
        }
        return *this;
    }
    const std::string& Bytes() const { return bytes_; }

  private:
    BinaryX& Count(size_t count) {
        uint32_t value = uint32_t(count);
        return Put(&value, 4);
    }
    BinaryX& Put(const void* data, size_t size) {
        bytes_.append(static_cast<const char*>(data), size);
        return *this;
    }

    bool doubles_;
    std::string bytes_;
};

// The pyramid of exporter_maya.x in the binary form, with a template and a key at tick 96000.
std::string BinaryPyramid(bool doubles) {
    BinaryX x(doubles);
    x.Token(0x1F).Name("Vector").Open().Guid();
    for (const char* axis : {"x", "y", "z"})
        x.Token(0x2A).Name(axis).Token(0x14);
    x.Close();
    x.Name("AnimTicksPerSecond").Open().Ints({4800}).Close();
    x.Name("Frame").Name("pyramid").Open();
    x.Name("FrameTransformMatrix").Open().Reals({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}).Close();
    x.Name("Mesh").Name("pyramidShape").Open().Ints({5});
    x.Reals({-1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1, 0, 1, 0});
    x.Ints({5, 3, 4, 1, 0, 3, 4, 2, 1, 3, 4, 3, 2, 3, 4, 0, 3, 4, 0, 1, 2, 3});
    x.Name("MeshMaterialList").Open().Ints({1, 5, 0, 0, 0, 0, 0});
    x.Name("Material").Name("stone").Open().Reals({0.8, 0.8, 0.8, 1, 0, 0, 0, 0, 0, 0, 0});
    x.Name("TextureFilename").Open().String("stone.bmp").Close();
    x.Close().Close().Close().Close();
    x.Name("AnimationSet").Name("take1").Open().Name("Animation").Open().Open().Name("pyramid").Close();
    x.Name("AnimationKey").Open().Ints({2, 2, 0, 3}).Reals({0, 0, 0}).Ints({96000, 3}).Reals({-5, 0, 10});
    x.Close().Close().Close();
    return x.Bytes();
}

// A text file of a grid of side x side squares, each cut in two, with texture coordinates: large
// enough to take several compressed blocks.
std::string TextGrid(int side) {
    std::string text = "xof 0303txt 0032\nMesh Grid {\n" + std::to_string((side + 1) * (side + 1)) + ";\n";
    for (int z = 0; z <= side; ++z)
        for (int x = 0; x <= side; ++x)
            text += std::to_string(x) + ".000000;0.000000;" + std::to_string(z) + ".000000;" +
                    (z == side && x == side ? ";\n" : ",\n");
    text += std::to_string(2 * side * side) + ";\n";
    for (int z = 0; z < side; ++z)
        for (int x = 0; x < side; ++x) {
            int a = z * (side + 1) + x, b = a + 1, c = a + side + 1, d = c + 1;
            text += "3;" + std::to_string(a) + "," + std::to_string(c) + "," + std::to_string(b) + ";,\n3;" +
                    std::to_string(b) + "," + std::to_string(c) + "," + std::to_string(d) + ";" +
                    (z == side - 1 && x == side - 1 ? ";\n" : ",\n");
        }
    text += "MeshTextureCoords {\n" + std::to_string((side + 1) * (side + 1)) + ";\n";
    for (int z = 0; z <= side; ++z)
        for (int x = 0; x <= side; ++x)
            text += std::to_string(double(x) / side) + ";" + std::to_string(double(z) / side) + ";" +
                    (z == side && x == side ? ";\n" : ",\n");
    return text + "}\n}\n";
}

void PutWord(std::string& out, uint32_t value, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i)
        out += char(value >> (8 * i) & 0xFF);
}

// file in the compressed form (type "tzip" or "bzip"): after the header, the whole size, then blocks of
// at most 32 KiB, each its size, its compressed size with the signature, "CK" and a deflate stream of its
// own whose dictionary is the block before.
std::string Compressed(const std::string& file, const char* type) {
    std::string out = file.substr(0, 8) + type + file.substr(12, 4);
    PutWord(out, uint32_t(file.size()), 4);
    std::string body = file.substr(16), previous;
    for (size_t at = 0; at < body.size(); at += 32768) {
        std::string block = body.substr(at, 32768);
        z_stream stream = {};
        EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
        if (!previous.empty())
            deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(previous.data()),
                                 uInt(previous.size()));
        std::string packed(deflateBound(&stream, uLong(block.size())), '\0');
        stream.next_in = reinterpret_cast<Bytef*>(block.data());
        stream.avail_in = uInt(block.size());
        stream.next_out = reinterpret_cast<Bytef*>(packed.data());
        stream.avail_out = uInt(packed.size());
        EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
        packed.resize(stream.total_out);
        deflateEnd(&stream);
        PutWord(out, uint32_t(block.size()), 2);
        PutWord(out, uint32_t(packed.size() + 2), 2);
        out += "CK" + packed;
        previous = block;
    }
    return out;
}

std::string CorpusFile(const char* name) {
    return testsupport::ReadText(std::string(QUIB_SOURCE_ROOT) + "/tests/fuzz/corpus/x/" + name);
}

HRESULT RecordName(char* name, void* arg, IDirect3DRMTexture** texture) {
    static_cast<std::set<std::string>*>(arg)->insert(name);
    *texture = nullptr;
    return D3DRMERR_NOTFOUND;
}

// What a load gave: faces, vertices, texture names, the lowest and highest point and the mean height.
struct Loaded {
    HRESULT result = E_FAIL;
    int faces = 0, vertices = 0;
    std::set<std::string> textures;
    D3DRMBOX box = {};
    float meanY = 0.0f;
};

Loaded Load(const std::string& file) {
    Loaded got;
    auto* builder = new HostRMMeshBuilder();
    got.result = builder->LoadFromMemory(file.data(), file.size(), RecordName, &got.textures);
    got.faces = builder->GetFaceCount();
    got.vertices = builder->GetVertexCount();
    builder->GetBox(&got.box);
    for (const D3DVECTOR& p : builder->Data().positions)
        got.meanY += p.y / float(got.vertices);
    builder->Release();
    return got;
}

TEST(RMXFiles, ExportersFilesInEveryFormLoadWithTheirVertices) {
    const std::string binary = BinaryPyramid(false);
    struct Case {
        const char* what;
        std::string file;
        int faces, vertices;
        std::set<std::string> textures;
        float minY, maxY, meanY;
    };
    const Case cases[] = {
        {"maya text", CorpusFile("exporter_maya.x"), 5, 5, {"stone.bmp"}, 0.0f, 1.0f, 0.2f},
        {"max text", CorpusFile("exporter_max.x"), 12, 24, {"crate.bmp"}, -1.0f, 1.0f, 0.0f},
        {"truespace text", CorpusFile("exporter_truespace.x"), 2, 7, {"grain.bmp"}, 0.0f, 2.0f, 12.0f / 7},
        {"binary", binary, 5, 5, {"stone.bmp"}, 0.0f, 1.0f, 0.2f},
        {"binary, 64-bit reals", BinaryPyramid(true), 5, 5, {"stone.bmp"}, 0.0f, 1.0f, 0.2f},
        {"compressed binary", Compressed(binary, "bzip"), 5, 5, {"stone.bmp"}, 0.0f, 1.0f, 0.2f},
        {"compressed text", Compressed(TextGrid(60), "tzip"), 7200, 61 * 61, {}, 0.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.file.empty()) << c.what;
        Loaded got = Load(c.file);
        ASSERT_EQ(got.result, D3DRM_OK) << c.what;
        EXPECT_EQ(got.faces, c.faces) << c.what;
        EXPECT_EQ(got.vertices, c.vertices) << c.what;
        EXPECT_EQ(got.textures, c.textures) << c.what;
        EXPECT_FLOAT_EQ(got.box.min.y, c.minY) << c.what;
        EXPECT_FLOAT_EQ(got.box.max.y, c.maxY) << c.what;
        EXPECT_NEAR(got.meanY, c.meanY, 1e-5f) << c.what;
    }
    EXPECT_GT(TextGrid(60).size(), 3u * 32768); // the compressed text took several blocks
}

// Corners are welded where position, normal and texture coordinates agree, within one frame: a vertex
// shared by faces of two materials is one vertex, one met with two normals is two, and a frame's meshes
// share no vertex with another frame's.
TEST(RMXFiles, TheBuilderHoldsTheFilesVertices) {
    const std::string pyramid = "5; -1.0;0.0;-1.0;, 1.0;0.0;-1.0;, 1.0;0.0;1.0;, -1.0;0.0;1.0;, 0.0;1.0;0.0;;"
                                " 5; 3;4,1,0;, 3;4,2,1;, 3;4,3,2;, 3;4,0,3;, 4;0,1,2,3;;";
    const std::string twoMaterials =
        " MeshMaterialList { 2; 5; 0,0,0,0,1;; Material A { 1.0;0.0;0.0;1.0;; 0.0;"
        " 0.0;0.0;0.0;; 0.0;0.0;0.0;; } Material B { 0.0;0.0;1.0;1.0;; 0.0;"
        " 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }";
    const std::string faceNormals = " MeshNormals { 2; 0.0;1.0;0.0;, 0.0;-1.0;0.0;; 5; 3;0,0,0;, 3;0,0,0;,"
                                    " 3;0,0,0;, 3;0,0,0;, 4;1,1,1,1;; }";
    const std::string seam = " MeshTextureCoords { 5; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;, 0.5;0.5;; }";
    const std::string triangle = "Mesh T { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;; }";
    struct Case {
        const char* what;
        std::string body;
        int vertices;
        float meanY;
    };
    const Case cases[] = {
        {"split by material", "Mesh P { " + pyramid + twoMaterials + " }", 5, 0.2f},
        {"texture coordinates per vertex", "Mesh P { " + pyramid + seam + " }", 5, 0.2f},
        {"base corners with a second normal", "Mesh P { " + pyramid + faceNormals + " }", 9, 1.0f / 9},
        {"the same triangle in two frames", "Frame A { " + triangle + " } Frame B { " + triangle + " }", 6,
         1.0f / 3},
    };
    for (const Case& c : cases) {
        Loaded got = Load("xof 0303txt 0032\n" + c.body + "\n");
        ASSERT_EQ(got.result, D3DRM_OK) << c.what;
        EXPECT_EQ(got.vertices, c.vertices) << c.what;
        EXPECT_NEAR(got.meanY, c.meanY, 1e-6f) << c.what;
    }
}

} // namespace
