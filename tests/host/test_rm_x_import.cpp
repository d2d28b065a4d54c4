// The ".x" reader's helper program and the loader's side of it: messages read within their bounds, the
// helper found beside the binary holding the host, loads that succeed whatever the loading program does
// with its children, signals and descriptors, and a helper that crashes, hangs, ends early or writes
// garbage giving a refused file with nothing left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "host/rm/testing.h"
#include "host/rm/x_import.h"
#include "host/rm/x_import_flat.h"
#include "host/rm/x_import_spawn.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace std::chrono_literals;

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

// The descriptors this process has open.
int OpenDescriptors() {
    int count = 0;
    if (DIR* folder = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(folder))
            count += entry->d_name[0] != '.';
        ::closedir(folder);
    }
    return count - 1; // the folder's own
}

// flat as a message.
std::string Encode(const HostRMXFlat& flat) {
    testsupport::TempFolder folder("quib-x-message");
    std::string path = folder / "message";
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    EXPECT_GE(fd, 0);
    EXPECT_TRUE(HostRMXSendFlat(fd, flat));
    ::close(fd);
    return testsupport::ReadText(path);
}

// Reads bytes as a message both ways (through a pipe, from memory); they must agree.
bool Decode(const std::string& bytes, HostRMXFlat& out) {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    EXPECT_EQ(::write(ends[1], bytes.data(), bytes.size()), ssize_t(bytes.size()));
    ::close(ends[1]);
    bool read = HostRMXReceiveFlat(ends[0], std::chrono::steady_clock::now() + 5s, out);
    ::close(ends[0]);
    HostRMXFlat parsed;
    EXPECT_EQ(HostRMXParseFlat(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), parsed), read);
    return read;
}

TEST(RMXImportMessage, MessagesAreReadWithinTheirBounds) {
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
    // Sound arrays only: a corner past the vertices.
    sent.corners[4] = uint32_t(sent.positions.size());
    HostRMXFlat got;
    EXPECT_FALSE(Decode(Encode(sent), got));
}

// A small ".x" file; the stand-in helpers never read it.
const std::string kTriangle = "xof 0303txt 0032\nMesh M { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;"
                              " 1; 3;0,1,2;; }\n";

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

HRESULT Import(const std::string& file, CallbackLog& log, HostRMMeshBuilder::Contents& out) {
    out.looks.emplace_back();
    return HostRMImportX(file.data(), file.size(), RecordAndRefuse, &log, out);
}

HRESULT Import(const std::string& file) {
    CallbackLog log;
    HostRMMeshBuilder::Contents out;
    return Import(file, log, out);
}

TEST(RMXImport, HelperIsFoundBesideTheBinaryHoldingTheHost) {
    char self[4096];
    ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(length, 0);
    std::string program(self, size_t(length));
    EXPECT_EQ(HostRMXPackagedHelper(), program.substr(0, program.rfind('/') + 1) + kHostRMXHelperName);
    EXPECT_EQ(::access(HostRMXPackagedHelper().c_str(), X_OK), 0);
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
    ASSERT_EQ(Import(text, log, out), D3DRM_OK);
    EXPECT_EQ(log.names, std::vector<std::string>{"rock.bmp"});
    EXPECT_EQ(log.processes, std::vector<pid_t>{::getpid()});
    ASSERT_EQ(out.faces.size(), 2u);
    EXPECT_EQ(out.faces[0].colour, 0xFFFF0000u);
    EXPECT_EQ(out.faces[1].colour, 0xFF00FF00u);
    EXPECT_TRUE(NoChildLeft());
}

std::string CorpusFile(const char* name) {
    return testsupport::ReadText(std::string(QUIB_SOURCE_ROOT) + "/tests/fuzz/corpus/x/" + name);
}

// Broken files on which the importer crashes, leaks or runs away (inputs the fuzzer found), kept in the
// fuzz target's seed corpus, and counts no file could hold: the helper dies or refuses, and this process
// goes on. The slowest one, which the memory cap ends, is left to the corpus replay.
TEST(RMXImport, FilesTheImporterFailsOnAreRefused) {
    int descriptors = OpenDescriptors();
    for (const char* name : {"importer_crash_binary_1.x", "importer_crash_binary_2.x",
                             "importer_crash_text_1.x", "importer_crash_text_2.x", "importer_leak.x",
                             "importer_slow.x", "material_list_unknown_object.x"}) {
        std::string file = CorpusFile(name);
        ASSERT_FALSE(file.empty()) << name;
        CallbackLog log;
        HostRMMeshBuilder::Contents out;
        EXPECT_EQ(Import(file, log, out), D3DRMERR_BADFILE) << name;
        EXPECT_TRUE(log.names.empty()) << name;
    }
    for (const char* count : {"-1; 3;0,1,2;;", "4000000000; 3;0,1,2;;", "1; -3;0,1,2;;"}) {
        std::string text =
            std::string("xof 0303txt 0032\nMesh M { 3; -1;2;0;, 1000;-250;3;, 0;100000;-2;; ") + count +
            " }\n";
        EXPECT_EQ(Import(text), D3DRMERR_BADFILE) << count;
    }
    EXPECT_TRUE(NoChildLeft());
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

// Loads kTriangle count times; how many loaded.
int LoadsThatSucceed(int count) {
    int loaded = 0;
    for (int i = 0; i < count; ++i) {
        CallbackLog log;
        HostRMMeshBuilder::Contents out;
        loaded += Import(kTriangle, log, out) == D3DRM_OK && out.faces.size() == 1;
    }
    return loaded;
}

void ReapEveryChild(int) {
    int saved = errno;
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    errno = saved;
}

// The loader waits on its helper through a pidfd, or by process id where the system has none: the tests
// of the helper's life run both ways.
class RMXImportWaits : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override { HostRMXAllowPidFdForTesting(GetParam()); }
    void TearDown() override { HostRMXAllowPidFdForTesting(true); }
};
INSTANTIATE_TEST_SUITE_P(PidFdOrNot, RMXImportWaits, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "pidfd" : "processId";
                         });

// The caller's dispositions and descriptors are its own business: SIGCHLD ignored (inherited from the
// program's starter), a handler that reaps every child, descriptors 0 to 2 closed.
TEST_P(RMXImportWaits, LoadsSucceedWhateverTheProgramDoesWithChildrenAndDescriptors) {
    int descriptors = OpenDescriptors();
    struct sigaction old = {}, ignore = {}, reaper = {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGCHLD, &ignore, &old), 0);
    EXPECT_EQ(LoadsThatSucceed(10), 10) << "SIGCHLD ignored";
    reaper.sa_handler = ReapEveryChild; // no SA_RESTART: waits and reads are interrupted too
    ASSERT_EQ(::sigaction(SIGCHLD, &reaper, nullptr), 0);
    EXPECT_EQ(LoadsThatSucceed(10), 10) << "a handler reaping every child";
    ASSERT_EQ(::sigaction(SIGCHLD, &old, nullptr), 0);

    for (int closed : {2, 3}) { // 0 and 1, then 0 to 2
        int saved[3];
        for (int fd = 0; fd < closed; ++fd) {
            saved[fd] = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
            ::close(fd);
        }
        int loaded = LoadsThatSucceed(10);
        int stillClosed = 0;
        for (int fd = 0; fd < closed; ++fd) {
            stillClosed += ::fcntl(fd, F_GETFD) == -1;
            ::dup2(saved[fd], fd);
            ::close(saved[fd]);
        }
        EXPECT_EQ(loaded, 10) << "descriptors 0 to " << closed - 1 << " closed";
        EXPECT_EQ(stillClosed, closed) << "the loader left a descriptor in a standard place";
    }
    EXPECT_TRUE(NoChildLeft());
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

// Other threads of the program keep allocating (and holding the allocator's locks) while it loads.
TEST(RMXImport, LoadsSucceedWhileOtherThreadsAllocate) {
    std::atomic<bool> stop{false};
    std::vector<std::thread> busy;
    for (int t = 0; t < 6; ++t)
        busy.emplace_back([&stop, t] {
            std::vector<std::string> held(64);
            for (size_t i = 0; !stop.load(std::memory_order_relaxed); ++i)
                held[i % held.size()].assign(16 + (i * 7919 + size_t(t)) % 4096, char('a' + t));
        });
    int loaded = LoadsThatSucceed(50);
    stop = true;
    for (std::thread& thread : busy)
        thread.join();
    EXPECT_EQ(loaded, 50);
    EXPECT_TRUE(NoChildLeft());
}

// Stands a shell script in for the helper while it lives.
class StandInHelper {
  public:
    StandInHelper(const testsupport::TempFolder& folder, const std::string& name, const std::string& body,
                  std::chrono::milliseconds limit, mode_t mode = 0700)
        : path_(folder / name) {
        testsupport::WriteText(path_, "#!/bin/sh\n" + body + "\n");
        ::chmod(path_.c_str(), mode);
        HostRMXSetHelperForTesting(path_.c_str(), limit);
    }
    ~StandInHelper() { HostRMXSetHelperForTesting(nullptr, 0ms); }

  private:
    std::string path_;
};

TEST_P(RMXImportWaits, AHelperThatFailsGivesARefusedFileAndLeavesNothing) {
    testsupport::TempFolder folder("quib-x-helper");
    HostRMXFlat flat = TexturedTriangles(2);
    testsupport::WriteText(folder / "message", Encode(flat));
    HostRMXFlat unsound = flat;
    unsound.corners[0] = 99;
    testsupport::WriteText(folder / "unsound", Encode(unsound));
    const std::string message = "'" + (folder / "message") + "'";
    struct Case {
        const char* what;
        std::string script;
        std::chrono::milliseconds limit;
        mode_t mode;
    };
    const Case cases[] = {
        {"crashes", "kill -SEGV $$", 30s, 0700},
        {"crashes halfway", "head -c 40 " + message + "; kill -SEGV $$", 30s, 0700},
        {"hangs", "exec sleep 30", 300ms, 0700},
        {"hangs halfway", "head -c 40 " + message + "; exec sleep 30", 300ms, 0700},
        {"ends early", "exit 0", 30s, 0700},
        {"writes garbage", "exec head -c 100000 /dev/urandom", 30s, 0700},
        {"writes zeros without end", "exec cat /dev/zero", 30s, 0700},
        {"sends unsound arrays", "exec cat '" + (folder / "unsound") + "'", 30s, 0700},
        {"cannot be started", "exit 0", 30s, 0600},
    };
    int descriptors = OpenDescriptors();
    for (const Case& c : cases) {
        StandInHelper helper(folder, "helper", c.script, c.limit, c.mode);
        CallbackLog log;
        HostRMMeshBuilder::Contents out;
        EXPECT_EQ(Import(kTriangle, log, out), D3DRMERR_BADFILE) << c.what;
        EXPECT_TRUE(log.names.empty()) << c.what;
        EXPECT_TRUE(NoChildLeft()) << c.what;
        EXPECT_EQ(OpenDescriptors(), descriptors) << c.what;
    }
    HostRMXSetHelperForTesting((folder / "missing").c_str(), 30s);
    EXPECT_EQ(Import(kTriangle), D3DRMERR_BADFILE) << "missing";
    HostRMXSetHelperForTesting(nullptr, 0ms);
}

// A whole, sound message is the result, whatever the helper does after it; one many times what the
// pipe holds at once arrives whole.
TEST_P(RMXImportWaits, AWholeMessageIsTheResultWhateverTheHelperDoesNext) {
    testsupport::TempFolder folder("quib-x-helper");
    HostRMXFlat large = TexturedTriangles(20000);
    testsupport::WriteText(folder / "large", Encode(large));
    const std::string message = "cat '" + (folder / "large") + "'";
    for (const std::string& after : {std::string("exit 0"), std::string("exit 3"),
                                     std::string("kill -SEGV $$"), std::string("exec sleep 30")}) {
        StandInHelper helper(folder, "helper", message + "; " + after, 10s);
        CallbackLog log;
        HostRMMeshBuilder::Contents out;
        ASSERT_EQ(Import(kTriangle, log, out), D3DRM_OK) << after;
        EXPECT_EQ(out.faces.size(), large.faces.size()) << after;
        EXPECT_TRUE(SameBytes(out.positions, large.positions)) << after;
        EXPECT_EQ(log.names, std::vector<std::string>{"wood.bmp"}) << after;
        EXPECT_TRUE(NoChildLeft()) << after;
    }
}

} // namespace
