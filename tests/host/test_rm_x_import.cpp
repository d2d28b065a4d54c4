// The ".x" import's child process: what the reader fills in arrives whole; a reader that fails, crashes,
// hangs or overgrows its memory fails the read and leaves no process behind; messages are read within
// their bounds; files the importer itself crashes on are refused; the texture callback runs in the
// loading process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "host/rm/x_import.h"
#include "host/rm/x_import_assimp.h"
#include "host/rm/x_import_child.h"
#include "host/rm/x_import_flat.h"
#include "host/rm/x_import_screen.h"
#include "tests/support/files.h"

namespace {

using namespace std::chrono_literals;

constexpr size_t kMemory = 256u << 20;

HostRMXFlat TexturedTriangles(size_t count) {
    HostRMXFlat flat;
    HostRMXMaterial red;
    red.colour = 0xFFFF0000;
    red.power = 5.0f;
    red.specular[2] = 0.5f;
    red.emissive[0] = 0.25f;
    red.texture = "wood.bmp";
    flat.materials = {red, HostRMXMaterial{}};
    for (uint32_t t = 0; t < count; ++t) {
        for (uint32_t k = 0; k < 3; ++k) {
            flat.positions.push_back({float(t), float(k), -1.0f});
            flat.normals.push_back({0.0f, 0.0f, -1.0f});
            flat.texCoords.insert(flat.texCoords.end(), {0.5f * float(k), 1.0f});
            flat.corners.push_back(3 * t + 2 - k);
        }
        flat.faces.push_back(HostRMXFace{3, t % 3 == 2 ? kHostRMXNoMaterial : t % 2});
    }
    return flat;
}

template <class T> bool SameBytes(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

void ExpectSame(const HostRMXFlat& got, const HostRMXFlat& sent) {
    ASSERT_EQ(got.materials.size(), sent.materials.size());
    for (size_t i = 0; i < sent.materials.size(); ++i) {
        const HostRMXMaterial &a = got.materials[i], &b = sent.materials[i];
        EXPECT_EQ(a.colour, b.colour);
        EXPECT_EQ(a.power, b.power);
        EXPECT_EQ(std::memcmp(a.specular, b.specular, sizeof a.specular), 0);
        EXPECT_EQ(std::memcmp(a.emissive, b.emissive, sizeof a.emissive), 0);
        EXPECT_EQ(a.texture, b.texture);
    }
    EXPECT_TRUE(SameBytes(got.positions, sent.positions));
    EXPECT_TRUE(SameBytes(got.normals, sent.normals));
    EXPECT_TRUE(SameBytes(got.texCoords, sent.texCoords));
    EXPECT_TRUE(SameBytes(got.faces, sent.faces));
    EXPECT_TRUE(SameBytes(got.corners, sent.corners));
}

// Whether this process has no child left, running or unreaped.
bool NoChildLeft() {
    return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

// flat as a message (small enough for the pipe to hold).
std::string Encode(const HostRMXFlat& flat) {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    EXPECT_TRUE(HostRMXSendFlat(ends[1], flat));
    ::close(ends[1]);
    std::string bytes;
    char chunk[4096];
    ssize_t got;
    while ((got = ::read(ends[0], chunk, sizeof chunk)) > 0)
        bytes.append(chunk, size_t(got));
    ::close(ends[0]);
    return bytes;
}

bool Decode(const std::string& bytes, HostRMXFlat& out) {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    EXPECT_EQ(::write(ends[1], bytes.data(), bytes.size()), ssize_t(bytes.size()));
    ::close(ends[1]);
    bool read = HostRMXReceiveFlat(ends[0], std::chrono::steady_clock::now() + 5s, out);
    ::close(ends[0]);
    return read;
}

TEST(RMXImportChild, ArraysFilledInTheChildArriveWhole) {
    HostRMXFlat sent = TexturedTriangles(20000); // many times what the pipe holds at once
    pid_t parent = ::getpid();
    HostRMXFlat got;
    ASSERT_TRUE(HostRMXReadIsolated(
        [&](HostRMXFlat& out) {
            out = sent;
            return ::getpid() != parent;
        },
        30s, kMemory, got));
    ExpectSame(got, sent);
    EXPECT_TRUE(NoChildLeft());
}

TEST(RMXImportChild, AnyFailureOfTheChildFailsTheReadAndItIsReaped) {
    struct Case {
        const char* what;
        std::function<bool(HostRMXFlat&)> read;
        std::chrono::milliseconds limit;
    };
    const Case cases[] = {
        {"refuses", [](HostRMXFlat&) { return false; }, 30s},
        {"throws", [](HostRMXFlat&) -> bool { throw std::runtime_error("unreadable"); }, 30s},
        {"faults",
         [](HostRMXFlat& out) {
             out = TexturedTriangles(1);
             return std::raise(SIGSEGV) == 0;
         },
         30s},
        {"aborts", [](HostRMXFlat&) -> bool { std::abort(); }, 30s},
        {"exits without a message", [](HostRMXFlat&) -> bool { ::_exit(0); }, 30s},
        {"fills unsound arrays",
         [](HostRMXFlat& out) {
             out = TexturedTriangles(2);
             out.corners[4] = 6; // a vertex past the end
             return true;
         },
         30s},
        {"hangs",
         [](HostRMXFlat&) {
             for (;;)
                 ::pause();
             return true;
         },
         300ms},
        // Would succeed but for the cap on the child's memory (the pages are never touched).
        {"overgrows its memory",
         [](HostRMXFlat& out) {
             void* hoard = std::malloc(size_t(3) << 30);
             asm volatile("" : : "r"(hoard) : "memory"); // the allocation is not optimised away
             std::free(hoard);
             out = TexturedTriangles(1);
             return hoard != nullptr;
         },
         30s},
    };
    for (const Case& c : cases) {
        HostRMXFlat got;
        EXPECT_FALSE(HostRMXReadIsolated(c.read, c.limit, kMemory, got)) << c.what;
        EXPECT_TRUE(NoChildLeft()) << c.what;
    }
}

TEST(RMXImportChild, MessagesAreReadWithinTheirBounds) {
    HostRMXFlat sent = TexturedTriangles(3);
    std::string message = Encode(sent);
    HostRMXFlat whole;
    ASSERT_TRUE(Decode(message, whole));
    ExpectSame(whole, sent);
    for (size_t cut = 0; cut < message.size(); ++cut) {
        HostRMXFlat got;
        EXPECT_FALSE(Decode(message.substr(0, cut), got)) << cut;
    }
    // Counts past the bounds, or within them but with nothing behind.
    sent.materials.clear();
    message = Encode(sent);
    for (uint32_t count : {0xFFFFFFFFu, uint32_t(kHostRMXMaxCorners)}) {
        std::string claim = message;
        std::memcpy(&claim[8], &count, 4); // the vertex count follows the start and material count
        HostRMXFlat got;
        EXPECT_FALSE(Decode(claim, got)) << count;
        EXPECT_LT(got.positions.size(), 65536u) << count;
    }
}

struct CallbackLog {
    std::vector<std::string> names;
    std::vector<pid_t> processes;
};

HRESULT RecordAndRefuse(char* name, void* arg, IDirect3DRMTexture** texture) {
    auto* log = static_cast<CallbackLog*>(arg);
    log->names.push_back(name);
    log->processes.push_back(::getpid());
    *texture = nullptr;
    return D3DRMERR_NOTFOUND;
}

HRESULT Import(const std::vector<uint8_t>& file, CallbackLog& log, HostRMMeshBuilder::Contents& out) {
    out.looks.emplace_back();
    return HostRMImportX(file.data(), file.size(), RecordAndRefuse, &log, out);
}

TEST(RMXImport, TextureCallbackRunsInTheLoadingProcessOncePerName) {
    std::string text = R"(xof 0303txt 0032
Mesh M { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 2; 3;0,1,2;, 3;0,2,1;;
 MeshMaterialList { 2; 2; 0, 1;;
  Material A { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "rock.bmp"; } }
  Material B { 0.0;1.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "rock.bmp"; } } } }
)";
    CallbackLog log;
    HostRMMeshBuilder::Contents out;
    ASSERT_EQ(Import(std::vector<uint8_t>(text.begin(), text.end()), log, out), D3DRM_OK);
    EXPECT_EQ(log.names, std::vector<std::string>{"rock.bmp"});
    EXPECT_EQ(log.processes, std::vector<pid_t>{::getpid()});
    ASSERT_EQ(out.faces.size(), 2u);
    EXPECT_EQ(out.faces[0].colour, 0xFFFF0000u);
    EXPECT_EQ(out.faces[1].colour, 0xFF00FF00u);
    EXPECT_TRUE(NoChildLeft());
}

// Reals written as integers (in ";" and "," lists) are coordinates like any other; a negative or
// oversized count after them is still turned away before the importer sees it.
TEST(RMXImport, IntegerCoordinatesLoadAndHostileCountsAfterThemAreRefused) {
    auto file = [](const char* vertexTail) {
        std::string text = std::string(R"(xof 0303txt 0032
Frame F { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,-5,1;; }
 Mesh M { 3; -1;2;0;, 1000;-250;3;, 0;100000;-2;; )") +
                           vertexTail + " } }\n";
        return std::vector<uint8_t>(text.begin(), text.end());
    };
    CallbackLog log;
    HostRMMeshBuilder::Contents out;
    ASSERT_EQ(Import(file("1; 3;0,1,2;;"), log, out), D3DRM_OK);
    ASSERT_EQ(out.positions.size(), 3u);
    std::vector<std::vector<float>> got, want = {{-1, 2, -5}, {1000, -250, -2}, {0, 100000, -7}};
    for (const D3DVECTOR& p : out.positions)
        got.push_back({p.x, p.y, p.z});
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want);
    for (const char* hostile : {"-1; 3;0,1,2;;", "4000000000; 3;0,1,2;;", "1; -3;0,1,2;;"}) {
        std::vector<uint8_t> bytes = file(hostile);
        EXPECT_FALSE(HostRMXPlausible(bytes.data(), bytes.size())) << hostile;
    }
}

std::vector<uint8_t> CorpusFile(const char* name) {
    return testsupport::ReadBytes(std::string(QUIB_SOURCE_ROOT) + "/tests/fuzz/corpus/x/" + name);
}

// Broken files on which the importer crashes, leaks or runs away (inputs the fuzzer found), kept in the
// fuzz target's seed corpus. The slowest one, which the memory cap ends, is left to the corpus replay.
TEST(RMXImport, FilesTheImporterFailsOnAreRefused) {
    for (const char* name : {"importer_crash_binary_1.x", "importer_crash_binary_2.x",
                             "importer_crash_text_1.x", "importer_crash_text_2.x", "importer_leak.x",
                             "importer_slow.x", "material_list_unknown_object.x"}) {
        std::vector<uint8_t> file = CorpusFile(name);
        ASSERT_FALSE(file.empty()) << name;
        CallbackLog log;
        HostRMMeshBuilder::Contents out;
        EXPECT_EQ(Import(file, log, out), D3DRMERR_BADFILE) << name;
        EXPECT_TRUE(log.names.empty()) << name;
    }
    EXPECT_TRUE(NoChildLeft());
}

// The same files given to the importer without the quick look that turns most of them away first: the
// child dies or refuses, and this process goes on.
TEST(RMXImport, ImporterDiesAloneInItsChild) {
    for (const char* name : {"importer_crash_binary_1.x", "importer_crash_binary_2.x",
                             "importer_crash_text_1.x", "importer_crash_text_2.x", "importer_leak.x",
                             "importer_slow.x", "material_list_unknown_object.x"}) {
        std::vector<uint8_t> file = CorpusFile(name);
        HostRMXFlat got;
        EXPECT_FALSE(HostRMXReadIsolated(
            [&](HostRMXFlat& out) { return HostRMXReadWithAssimp(file.data(), file.size(), out); }, 30s,
            kMemory, got))
            << name;
    }
    EXPECT_TRUE(NoChildLeft());
}

} // namespace
