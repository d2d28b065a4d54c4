// A small 3D game driven through the engine's flat interface, as a game's frame loop drives it: a
// hilly ground of 2 x 4 tiles under a terrain manager, a camera flying a path over it, a rear-view
// mirror, fog and the horizon behind, and an animated sprite-sheet marker. Every frame renders the rear
// view into the mirror surfaces and the forward view with the mirror blitted on top; the test checks
// the projections against a camera model computed here, the pixels it can predict (sky, fog, the ground
// texture under the camera, the marker, the mirror strip) and, after the game frees everything, that
// no reference is left. Three frames go to the build folder's frames/small_game_*.bmp for review.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "bitmap_test_support.h"
#include "quib/scene/sprite.h"
#include "quib/scene/terrain.h"
#include "quib/scene/terrain_manager.h"
#include "tests/support/frame_capture.h"
#include "video_test_support.h"

using namespace video_test;

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr float kScale = 320.0f; // pixels per unit of x/z at front 0.1, field 0.1 on a 640-wide view

// The world: tiles of 16 x 16 units and 8 x 8 cells, 2 across (x 0..32) and 4 deep (z 0..64).
constexpr int kTilesX = 2, kTilesZ = 4, kCells = 8;
constexpr float kTile = 16.0f;
constexpr float kHillHeight = 0.6f;  // the top of the mound in each tile's middle
constexpr float kEyeHeight = 3.0f;   // the camera flies this high over the ground below it
constexpr float kDetailStep = 20.0f; // one detail level coarser per 20 units from the camera

// Colours, all exact in 5-6-5 so that unlit, unfogged texels come out unchanged.
constexpr DWORD kSky = 0x3060C0, kFog = 0xA0A0A0;
constexpr DWORD kGrass[2] = {0x208020, 0x60C040}; // the ground texture's stripes, along z
constexpr DWORD kMarkerCells[4] = {0xF80000, 0xF8F800, 0xF800F8, 0x00F8F8};
constexpr float kFogStart = 6.0f, kFogEnd = 26.0f;

// The rear-view mirror: the strip of the rear view copied, and where its mirror image goes.
constexpr int kMirrorX = 240, kMirrorY = 225, kMirrorW = 160, kMirrorH = 110;
constexpr int kMirrorToX = 240, kMirrorToY = 8;

constexpr int kFrames = 16;
constexpr int kCaptured[3] = {0, 8, 15};

WORD Encode(DWORD rgb) {
    return WORD(((rgb >> 19) & 31) << 11 | ((rgb >> 10) & 63) << 5 | ((rgb >> 3) & 31));
}

bool Near(WORD actual, DWORD expected, int tolerance) {
    const WORD e = Encode(expected);
    return std::abs((actual >> 11) - (e >> 11)) * 8 <= tolerance &&
           std::abs(((actual >> 5) & 63) - ((e >> 5) & 63)) * 4 <= tolerance &&
           std::abs((actual & 31) - (e & 31)) * 8 <= tolerance;
}

// The colour a of weight 1 - k mixed with b of weight k.
DWORD Mix(DWORD a, DWORD b, float k) {
    DWORD out = 0;
    for (int shift : {0, 8, 16})
        out |= DWORD(std::lround((1 - k) * float((a >> shift) & 255) + k * float((b >> shift) & 255)))
               << shift;
    return out;
}

struct Vec {
    float x, y, z;
};
Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator*(float k, Vec a) {
    return {k * a.x, k * a.y, k * a.z};
}
float Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec Cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec Unit(Vec a) {
    return (1.0f / std::sqrt(Dot(a, a))) * a;
}

// The camera model of the test: at eye, looking at target with no roll (left-handed, y up), the view
// 640 x 480 with 320 pixels per unit at depth 1.
struct Eye {
    Vec at, forward, right, up;
    Eye(Vec eye, Vec target) : at(eye) {
        forward = Unit(target - eye);
        right = Unit(Cross({0, 1, 0}, forward));
        up = Cross(forward, right);
    }
    float Depth(Vec p) const { return Dot(p - at, forward); }
    float ScreenX(Vec p) const { return kWidth / 2 + kScale * Dot(p - at, right) / Depth(p); }
    float ScreenY(Vec p) const { return kHeight / 2 - kScale * Dot(p - at, up) / Depth(p); }
};

// Where the camera is in frame f: a weave across the ground while flying forward, turning gently.
Vec PathPoint(int f) {
    const float t = float(f) / float(kFrames - 1);
    return {16.0f + 4.0f * std::sin(3.1415926f * t), 0.0f, 4.0f + 30.0f * t};
}
float PathYaw(int f) {
    return 0.35f * std::sin(6.2831853f * float(f) / float(kFrames - 1));
}

// The ground texture's colour at world (x, z): stripes 4 units wide across each tile.
DWORD GrassAt(float x) {
    const float u = std::fmod(x, kTile) / kTile;
    return kGrass[int(u * 4) & 1];
}

class SmallGameTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), kWidth, kHeight)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, kWidth, kHeight)) << ErrorText();
        ASSERT_EQ(1, QuibSetFOV(0.1f));
    }

    // A 24-bit BMP of w x h pixels, colour(x, y) each, written into the test's folder.
    template <typename Colour> static std::string WriteBmp(const char* name, int w, int h, Colour colour) {
        std::vector<uint32_t> rgb;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                rgb.push_back(colour(x, y));
        bmptest::WriteBytes(name, bmptest::BuildBmp(bmptest::Picture24(w, h, rgb)));
        return name;
    }

    // An 8-bit grey height map: a round mound in the middle, 0 on a wide border so that neighbouring
    // tiles meet at height 0 whatever their detail.
    static std::string WriteHeightMap(const char* name) {
        bmptest::BmpFields bmp;
        bmp.width = bmp.height = 32;
        bmp.bitCount = 8;
        for (int i = 0; i < 256; ++i)
            bmptest::AddColour(bmp.table, uint8_t(i), uint8_t(i), uint8_t(i));
        bmp.pixels.assign(32 * 32, 0);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const float r = std::hypot(x - 15.5f, y - 15.5f);
                bmp.pixels[size_t(y) * 32 + size_t(x)] = r < 10.0f ? uint8_t(255 * (1 - r / 10.0f)) : 0;
            }
        bmptest::WriteBytes(name, bmptest::BuildBmp(bmp));
        return name;
    }

    // Builds the level: the tiles with their texture and hills, under the manager with their coarser
    // versions; the marker sprite.
    void BuildLevel() {
        grass_ = QuibLoadBitmap(
            WriteBmp("grass.bmp", 16, 16, [](int x, int) { return kGrass[(x / 4) & 1]; }).c_str());
        ASSERT_NE(nullptr, grass_) << ErrorText();
        heights_ = QuibLoadBitmap(WriteHeightMap("hills.bmp").c_str());
        ASSERT_NE(nullptr, heights_) << ErrorText();
        ASSERT_EQ(1, QuibInitTerrainManager(&manager_));
        Manager().SetGridParams(0, 0, kTile, kTile, kTilesX, kTilesZ);
        for (int iz = 0; iz < kTilesZ; ++iz)
            for (int ix = 0; ix < kTilesX; ++ix) {
                void* tile = nullptr;
                ASSERT_EQ(
                    1, QuibInitTerrain(ix * kTile, iz * kTile, kTile, kTile, kCells, kCells, grass_, &tile));
                ASSERT_EQ(1, QuibApplyElevationMap(tile, heights_, 0.0f, kHillHeight * 256 / 255, 1));
                ASSERT_EQ(1, QuibAddTerrainManager(manager_, tile, ix, iz));
                tiles_.push_back(tile);
            }
        ASSERT_EQ(1, Manager().MakeLowDetailVersions(16)); // 8 x 8, 4 x 4, 2 x 2
        terrainList_ = QuibCreateDisplayList(kTilesX * kTilesZ);
        sceneList_ = QuibCreateDisplayList(4);

        WriteBmp("marker.bmp", 16, 16, [](int x, int y) { return kMarkerCells[(x / 8) + 2 * (y / 8)]; });
        marker_ = new Sprite3d("marker.bmp", 2, 2, 1.0f, 1.0f, 0.0f, 0.0f, kScale, 255);
    }

    TerrainManager& Manager() { return *static_cast<TerrainManager*>(manager_); }

    // The ground height under (x, z), from the manager's tiles.
    float Ground(float x, float z) {
        D3DVECTOR at{};
        EXPECT_EQ(1, QuibFindTerrainManagerIntersection(manager_, x, z, at)) << x << "," << z;
        return at.y;
    }

    // One view of the world: the list over the horizon, the ground, the marker.
    void DrawView() {
        ASSERT_EQ(1, QuibRenderDisplayList(sceneList_)) << ErrorText();
        for (int c = 0; c < kTilesX * kTilesZ; ++c)
            ASSERT_EQ(1, Manager().m_cells[c].current->RenderDPMesh());
        ASSERT_EQ(1, marker_->Render());
        ASSERT_EQ(1, QuibUpdateDevice()) << ErrorText();
    }

    // The checks of one forward view seen from eye.
    void CheckView(const Eye& eye, int frame, const std::vector<WORD>& rearStrip) {
        LockedPixels pixels(g_lpBackBuffer);
        ASSERT_TRUE(pixels.ok());
        for (int shot : kCaptured)
            if (shot == frame)
                testsupport::WriteFrame565("small_game_" + std::to_string(frame) + ".bmp", pixels.width(),
                                           pixels.height(), pixels.pitch(), &pixels.At(0, 0));
        // Sky above the horizon (the camera looks level; the hills stay below its height), the ground
        // plane fogged out just below it.
        EXPECT_EQ(Encode(kSky), pixels.At(8, 100)) << frame;
        EXPECT_EQ(Encode(kSky), pixels.At(630, 200)) << frame;
        EXPECT_TRUE(Near(pixels.At(600, 244), kFog, 8)) << frame << " " << std::hex << pixels.At(600, 244);
        // The ground ahead: the texture's stripe nearer than the fog's start, half fog colour halfway
        // through the fog, fog colour beyond its end.
        for (float distance : {5.0f, (kFogStart + kFogEnd) / 2, kFogEnd + 3})
            for (float side : {-1.0f, 0.0f, 1.0f}) {
                Vec ground = eye.at + distance * eye.forward + side * eye.right;
                D3DVECTOR onGround{};
                if (!QuibFindTerrainManagerIntersection(manager_, ground.x, ground.z, onGround)) continue;
                ground.y = onGround.y;
                float sx = 0, sy = 0;
                ASSERT_EQ(1, QuibTransformPoint(ground.x, ground.y, ground.z, &sx, &sy));
                ASSERT_TRUE(sx >= 0 && sx < kWidth && sy >= kMirrorToY + kMirrorH && sy < kHeight)
                    << sx << "," << sy;
                const float fog =
                    std::clamp((eye.Depth(ground) - kFogStart) / (kFogEnd - kFogStart), 0.0f, 1.0f);
                EXPECT_TRUE(Near(pixels.At(int(sx), int(sy)), Mix(GrassAt(ground.x), kFog, fog), 12))
                    << frame << " at " << ground.x << "," << ground.z << ": " << std::hex
                    << pixels.At(int(sx), int(sy));
            }
        // The mirror strip: the rear view's strip, left to right.
        for (int y = 0; y < kMirrorH; y += 7)
            for (int x = 0; x < kMirrorW; x += 9)
                ASSERT_EQ(rearStrip[size_t(y) * kMirrorW + size_t(kMirrorW - 1 - x)],
                          pixels.At(kMirrorToX + x, kMirrorToY + y))
                    << frame << " mirror " << x << "," << y;
    }

    // The rear view's strip as the mirror copy takes it.
    static std::vector<WORD> ReadStrip() {
        LockedPixels pixels(g_lpBackBuffer);
        std::vector<WORD> strip;
        for (int y = 0; y < kMirrorH; ++y)
            for (int x = 0; x < kMirrorW; ++x)
                strip.push_back(pixels.At(kMirrorX + x, kMirrorY + y));
        return strip;
    }

    void* manager_ = nullptr;
    std::vector<void*> tiles_;
    void* terrainList_ = nullptr;
    void* sceneList_ = nullptr;
    Sprite3d* marker_ = nullptr;
    IDirectDrawSurface* grass_ = nullptr;
    IDirectDrawSurface* heights_ = nullptr;
};

TEST_F(SmallGameTest, FliesOverTheManagedGroundWithFogMirrorAndMarker) {
    // Scene settings of the level: a blue sky, fog to the fog colour, nearest texels.
    ASSERT_EQ(1, QuibFogOK());
    QuibFogParams(kFog, kFogStart, kFogEnd, 0.02f);
    QuibFogEnable(1);
    ASSERT_EQ(1, QuibSetHorizonColor(kSky >> 16, (kSky >> 8) & 255, kSky & 255, kFog >> 16, (kFog >> 8) & 255,
                                     kFog & 255));
    ASSERT_EQ(1, QuibSetBilinearFiltering(0));
    ASSERT_NO_FATAL_FAILURE(BuildLevel());
    ASSERT_EQ(1, QuibMirrorInit(0, 0, kMirrorW, kMirrorH));

    int markerSeen = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
        // Game logic: the camera's place on its path, over the ground; the marker's next cell.
        Vec at = PathPoint(frame);
        at.y = Ground(at.x, at.z) + kEyeHeight;
        const float yaw = PathYaw(frame);
        const Vec ahead{10.0f * std::sin(yaw), 0.0f, 10.0f * std::cos(yaw)};
        const Vec marker{18.0f, Ground(18.0f, 24.0f) + 1.5f, 24.0f};
        marker_->SetPosition(marker.x, marker.y, marker.z);
        if (frame) marker_->NextFrame();
        ASSERT_EQ(1, Manager().SetDetailLevel(terrainList_, D3DVECTOR{at.x, at.y, at.z}, kDetailStep));
        // Full detail under the camera, the farthest tile coarser.
        EXPECT_EQ(0, Manager().m_cells[int(at.x / kTile) + kTilesX * int(at.z / kTile)].level);
        EXPECT_GE(Manager().m_cells[kTilesX * kTilesZ - 1].level, 1);

        // The rear view, copied into the mirror surfaces.
        ASSERT_EQ(1, QuibCameraLook(at.x, at.y, at.z, at.x - ahead.x, at.y, at.z - ahead.z));
        QuibDrawingMirrors(1);
        ASSERT_NO_FATAL_FAILURE(DrawView());
        QuibDrawingMirrors(0);
        const std::vector<WORD> rear = ReadStrip();
        ASSERT_EQ(1, QuibMirrorViewport(nullptr, kMirrorX, kMirrorY, kMirrorW, kMirrorH));

        // The forward view with the mirror on top.
        ASSERT_EQ(1, QuibCameraLook(at.x, at.y, at.z, at.x + ahead.x, at.y, at.z + ahead.z));
        ASSERT_NO_FATAL_FAILURE(DrawView());
        ASSERT_EQ(1, QuibBlitMirror(0, 0, kMirrorW, kMirrorH, kMirrorToX, kMirrorToY));

        // Projections against the test's camera model, and against the immediate-mode view.
        const Eye eye(at, at + ahead);
        const Vec points[3] = {marker, at + 8.0f * eye.forward + Vec{1, -1, 0}, {0, 0, 64}};
        for (const Vec& p : points) {
            float sx = 0, sy = 0;
            const int inFront = QuibTransformPoint(p.x, p.y, p.z, &sx, &sy);
            EXPECT_EQ(eye.Depth(p) > 0.1f ? 1 : 0, inFront) << frame;
            EXPECT_NEAR(eye.ScreenX(p), sx, 0.05f) << frame;
            EXPECT_NEAR(eye.ScreenY(p), sy, 0.05f) << frame;
            if (!inFront) continue;
            float x = p.x, y = p.y, z = p.z;
            int ix = 0, iy = 0;
            QuibWorldToScreen(x, y, z, ix, iy);
            EXPECT_NEAR(sx, float(ix), 1.0f) << frame;
            EXPECT_NEAR(sy, float(iy), 1.0f) << frame;
        }
        // Behind the camera: 0, the divided position written all the same.
        float bx = -1, by = -1;
        const Vec behind = at + -5.0f * eye.forward + eye.right;
        EXPECT_EQ(0, QuibTransformPoint(behind.x, behind.y, behind.z, &bx, &by));
        EXPECT_NEAR(eye.ScreenX(behind), bx, 0.05f);
        // The whole-unit form truncates.
        long lx = 0, ly = 0;
        const Vec whole{std::round(at.x), 0, std::round(at.z) + 12};
        EXPECT_EQ(1, QuibTransformPoint(long(whole.x), 0L, long(whole.z), &lx, &ly));
        EXPECT_EQ(long(eye.ScreenX(whole)), lx) << frame;
        EXPECT_EQ(long(eye.ScreenY(whole)), ly) << frame;

        // The marker, when in view, shows this frame's cell at its projected centre.
        float mx = 0, my = 0;
        const bool onScreen = QuibTransformPoint(marker.x, marker.y, marker.z, &mx, &my) && mx >= 0 &&
                              mx < kWidth && my >= kMirrorToY + kMirrorH && my < kHeight;
        if (onScreen && eye.Depth(marker) < kFogStart) {
            markerSeen++;
            LockedPixels pixels(g_lpBackBuffer);
            EXPECT_EQ(Encode(kMarkerCells[frame % 4]), pixels.At(int(mx), int(my))) << frame;
        }
        ASSERT_NO_FATAL_FAILURE(CheckView(eye, frame, rear));
        ASSERT_EQ(1, QuibFlip()) << ErrorText();
    }
    EXPECT_GE(markerSeen, 2);

    // The game ends: everything it made is freed; each Retained Mode frame held here is then held by
    // nobody else.
    std::vector<IDirect3DRMFrame2*> frames;
    for (void* tile : tiles_)
        for (Terrain* t = static_cast<Terrain*>(tile); t; t = t->m_lowDetail)
            frames.insert(frames.end(), {t->m_frame, t->m_lookatframe});
    frames.insert(frames.end(), {marker_->m_frame, marker_->m_lookatframe});
    for (IDirect3DRMFrame2* frame : frames)
        frame->AddRef();
    delete marker_;
    QuibFreeDisplayList(sceneList_);
    QuibFreeDisplayList(terrainList_);
    delete static_cast<TerrainManager*>(manager_);
    for (void* tile : tiles_)
        delete static_cast<Terrain*>(tile);
    for (IDirect3DRMFrame2* frame : frames)
        EXPECT_EQ(0u, frame->Release());
    EXPECT_EQ(1, QuibMirrorFree());
    QuibFreeSurfaceTable();
    EXPECT_EQ(0u, grass_->Release());
    EXPECT_EQ(0u, heights_->Release());
    QuibFogEnable(0);
    QuibFreeDirectX();
    EXPECT_EQ(0, LastReleaseCount("g_lpScene", ReadLog()));
    const HostDDrawObjectCounts live = HostDDrawLiveObjects();
    EXPECT_EQ(0, live.surfaces);
    EXPECT_EQ(0, live.directDraws);
}

} // namespace
