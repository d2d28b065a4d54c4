// A small 3D game driven through the engine's flat interface, as a game's frame loop drives it: a
// hilly ground of 2 x 4 tiles under a terrain manager, three cars (a model loaded from its file and two
// instances of it) driving up it, two leaving skid marks and one smoking, a camera of the game's own
// flying a path over them with a rear-view mirror, fog and the horizon behind, an animated sprite-sheet
// marker and a sprite on the dashboard. Every frame renders the rear view into the mirror surfaces and
// then the forward view with the mirror on top. The test checks the projections against a camera model
// of its own and the pixels it can predict (sky, fog, the ground texture ahead, the cars' paint, the
// marks, the smoke, the sprites, the mirror strip) and, after the game has freed everything, that no
// reference is left. Three frames go to the build folder's frames/small_game_*.bmp for review.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/world/skid_object.h"
#include "quib/scene/world/sprite.h"
#include "quib/scene/world/sprite3d_decal.h"
#include "quib/scene/world/terrain.h"
#include "quib/scene/world/terrain_manager.h"
#include "tests/quib/bitmap_test_support.h"
#include "tests/quib/m3d_writer.h"
#include "tests/quib/video_test_support.h"
#include "tests/support/frame_capture.h"

using namespace video_test;

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr float kScale = 320.0f; // pixels per unit of x/z at front 0.1, field 0.1 on a 640-wide view

// The world: tiles of 16 x 16 units and 8 x 8 cells, 2 across (x 0..32) and 4 deep (z 0..64), a mound
// in the middle of each.
constexpr int kTilesX = 2, kTilesZ = 4, kCells = 8;
constexpr float kTile = 16.0f;
constexpr float kHillHeight = 0.6f;
constexpr float kEyeHeight = 3.0f;   // the camera flies this high over the ground below it
constexpr float kDetailStep = 20.0f; // one detail level coarser per 20 units from the camera

// Colours, all exact in 5-6-5 so that unlit, unfogged texels and paint come out unchanged.
constexpr DWORD kSky = 0x3060C0, kFog = 0xA0A0A0;
constexpr DWORD kGrass[2] = {0x208020, 0x60C040}; // the ground texture's stripes, along z
constexpr DWORD kMarkerCells[4] = {0xF80000, 0xF8F800, 0xF800F8, 0x00F8F8};
constexpr DWORD kPaint = 0xF88000;
constexpr DWORD kDashboard[2] = {0xF8F8F8, 0x0000F8};
constexpr float kFogStart = 6.0f, kFogEnd = 26.0f;

// The cars: lane, start and speed per frame. Cars 0 and 1 leave skid marks, car 2 smokes.
struct Lane {
    float x, z, speed;
};
constexpr Lane kLanes[3] = {{14.0f, 12.0f, 1.0f}, {18.0f, 16.0f, 1.2f}, {16.0f, 22.0f, 0.8f}};
constexpr float kSkidWidth = 0.5f, kRearWheel = 1.2f;

// The rear-view mirror: the strip of the rear view copied, and where its mirror image goes.
constexpr int kMirrorX = 240, kMirrorY = 225, kMirrorW = 160, kMirrorH = 110;
constexpr int kMirrorToX = 240, kMirrorToY = 8;
constexpr int kDashX = 60, kDashY = 420; // the dashboard sprite

constexpr int kFrames = 16;
constexpr int kCaptured[3] = {0, 8, 15};

WORD Encode(DWORD rgb) {
    return WORD(((rgb >> 19) & 31) << 11 | ((rgb >> 10) & 63) << 5 | ((rgb >> 3) & 31));
}
// The 8-bit channels of a pixel, widened.
int Red(WORD p) {
    return (p >> 11) << 3 | (p >> 13);
}
int Green(WORD p) {
    return ((p >> 5) & 63) << 2 | ((p >> 9) & 3);
}
int Blue(WORD p) {
    return (p & 31) << 3 | ((p >> 2) & 7);
}

bool Near(WORD actual, DWORD expected, int tolerance) {
    const WORD e = Encode(expected);
    return std::abs(Red(actual) - Red(e)) <= tolerance && std::abs(Green(actual) - Green(e)) <= tolerance &&
           std::abs(Blue(actual) - Blue(e)) <= tolerance;
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
    Vec operator+(Vec b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vec operator-(Vec b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vec operator*(float k) const { return {k * x, k * y, k * z}; }
    float Dot(Vec b) const { return x * b.x + y * b.y + z * b.z; }
    Vec Cross(Vec b) const { return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x}; }
    Vec Unit() const { return *this * (1.0f / std::sqrt(Dot(*this))); }
};

// The camera model of the test: at eye, looking at target with no roll (left-handed, y up), the view
// 640 x 480 with 320 pixels per unit at depth 1.
struct Eye {
    Vec at, forward, right, up;
    Eye(Vec eye, Vec target) : at(eye) {
        forward = (target - eye).Unit();
        right = Vec{0, 1, 0}.Cross(forward).Unit();
        up = forward.Cross(right);
    }
    float Depth(Vec p) const { return (p - at).Dot(forward); }
    float ScreenX(Vec p) const { return kWidth / 2 + kScale * (p - at).Dot(right) / Depth(p); }
    float ScreenY(Vec p) const { return kHeight / 2 - kScale * (p - at).Dot(up) / Depth(p); }
    // Whether p projects into the view below the mirror, at least near in front of the camera.
    bool Shows(Vec p, float near = 1.0f) const {
        return Depth(p) >= near && ScreenX(p) >= 0 && ScreenX(p) < kWidth &&
               ScreenY(p) >= kMirrorToY + kMirrorH && ScreenY(p) < kHeight;
    }
    // Whether the screen point (x, y) may show the box lo..hi (its projected bounding rectangle, all the
    // screen when the box reaches behind the camera).
    bool MayCover(Vec lo, Vec hi, float x, float y) const {
        float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
        for (int i = 0; i < 8; ++i) {
            const Vec c{i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z};
            if (Depth(c) < 0.2f) return true;
            x0 = std::min(x0, ScreenX(c)), x1 = std::max(x1, ScreenX(c));
            y0 = std::min(y0, ScreenY(c)), y1 = std::max(y1, ScreenY(c));
        }
        return x >= x0 - 2 && x <= x1 + 2 && y >= y0 - 2 && y <= y1 + 2;
    }
};

// Where the camera is in frame f: a weave across the ground while flying forward, turning gently.
Vec PathPoint(int f) {
    const float t = float(f) / float(kFrames - 1);
    return {16.0f + 4.0f * std::sin(3.1415926f * t), 0.0f, 4.0f + 30.0f * t};
}
float PathYaw(int f) {
    return 0.35f * std::sin(6.2831853f * float(f) / float(kFrames - 1));
}

// The ground texture's colour at world x: stripes 4 units wide across each tile.
DWORD GrassAt(float x) {
    return kGrass[int(std::fmod(x, kTile) / 4) & 1];
}

// What stands in the world in one frame, as the game logic placed it: the boxes that may hide the
// ground behind them (cars, marker, smoke puffs).
struct Scene {
    Vec cars[3];
    Vec marker;
    std::vector<Vec> puffs;
    std::vector<std::pair<Vec, Vec>> Occluders() const {
        std::vector<std::pair<Vec, Vec>> boxes;
        for (const Vec& c : cars)
            boxes.push_back({c + Vec{-0.8f, 0, -1.5f}, c + Vec{0.8f, 0.8f, 1.5f}});
        boxes.push_back({marker + Vec{-0.6f, -0.6f, -0.6f}, marker + Vec{0.6f, 0.6f, 0.6f}});
        for (const Vec& p : puffs)
            boxes.push_back({p + Vec{-1.5f, -1.0f, -1.5f}, p + Vec{1.5f, 2.0f, 1.5f}});
        return boxes;
    }
};

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
    template <typename Colour>
    static IDirectDrawSurface* LoadBmp(const char* name, int w, int h, Colour colour) {
        IDirectDrawSurface* surface = QuibLoadBitmap(WriteBmp(name, w, h, colour).c_str());
        EXPECT_NE(nullptr, surface) << name;
        return surface;
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

    // The car model: a box 1.6 wide, 0.8 high and 3 long standing on its origin, in one paint, each
    // face both ways round so that it shows from every side.
    static void WriteCar(const char* name) {
        m3dtest::Model model;
        m3dtest::Material paint{"paint", ""};
        paint.rgb[0] = kPaint >> 16;
        paint.rgb[1] = (kPaint >> 8) & 255;
        paint.rgb[2] = kPaint & 255;
        model.materials = {paint};
        m3dtest::Object body;
        body.name = "body";
        for (int i = 0; i < 8; ++i)
            body.vertices.push_back({i & 1 ? 0.8f : -0.8f, i & 2 ? 0.8f : 0.0f, i & 4 ? 1.5f : -1.5f});
        const int sides[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 2, 6, 4},
                                 {1, 5, 7, 3}, {0, 4, 5, 1}, {2, 3, 7, 6}};
        for (const auto& q : sides)
            for (int half = 0; half < 2; ++half) {
                const int a = q[0], b = q[1 + half], c = q[2 + half];
                body.faces.push_back(m3dtest::MakeFace({a, b, c}));
                body.faces.push_back(m3dtest::MakeFace({a, c, b}));
            }
        model.objects = {body};
        bmptest::WriteBytes(name, m3dtest::Bytes(model));
    }

    // Loads the level: the tiles with their texture and hills under the manager, with their coarser
    // versions; the cars; skid marks, smoke, the marker and the dashboard sprite; the game's camera.
    void LoadLevel() {
        grass_ = LoadBmp("grass.bmp", 16, 16, [](int x, int) { return kGrass[(x / 4) & 1]; });
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
        list_ = QuibCreateDisplayList(16);

        WriteCar("car.m3d");
        void* car = nullptr;
        char carFile[] = "car.m3d";
        ASSERT_EQ(1, QuibLoadObject(carFile, &car)) << ErrorText();
        cars_ = {car, QuibMakeInstance(car), QuibMakeInstance(car)};
        ASSERT_NE(nullptr, cars_[1]);
        ASSERT_NE(nullptr, cars_[2]);
        void* skids = QuibInitSkidmarks(&skids_);
        ASSERT_NE(nullptr, skids);
        ASSERT_EQ(skids, skids_);
        QuibSkidsEnable(1);

        puff_ = LoadBmp("puff.bmp", 16, 16,
                        [](int x, int y) { return std::hypot(x - 7.5f, y - 7.5f) < 7 ? 0xF8F8F8u : 0u; });
        IDirectDrawSurface* puffs[] = {puff_, nullptr};
        QuibInitSmoke(8, puffs);

        WriteBmp("marker.bmp", 16, 16, [](int x, int y) { return kMarkerCells[(x / 8) + 2 * (y / 8)]; });
        marker_ = new Sprite3d("marker.bmp", 2, 2, 1.0f, 1.0f, 0.0f, 0.0f, kScale, 255);
        for (int i = 0; i < 2; ++i)
            dashboard_[i] =
                LoadBmp(i ? "dash1.bmp" : "dash0.bmp", 16, 16, [i](int, int) { return kDashboard[i]; });
        IDirectDrawSurface* dashboard[] = {dashboard_[0], dashboard_[1], nullptr};
        ASSERT_EQ(1, QuibSprite3DCreate(dashboard, &dash_)) << ErrorText();
        ASSERT_EQ(1, QuibSprite3DParameters(dash_, 24, 24, 8, 8, 1, 0));

        ASSERT_EQ(1, QuibCreateCamera(nullptr, &camera_));
        ASSERT_EQ(1, QuibSetCamera(camera_)) << ErrorText();
    }

    TerrainManager& Manager() { return *static_cast<TerrainManager*>(manager_); }

    // The ground height under (x, z), from the manager's tiles.
    float Ground(float x, float z) {
        D3DVECTOR at{};
        EXPECT_EQ(1, QuibFindTerrainManagerIntersection(manager_, x, z, at)) << x << "," << z;
        return at.y;
    }

    // Game logic of frame f: cars driven on, their marks and smoke, the marker's and the dashboard's
    // next frames.
    Scene Play(int f) {
        Scene scene;
        for (int c = 0; c < 3; ++c) {
            const Lane& lane = kLanes[c];
            const float z = lane.z + lane.speed * float(f);
            scene.cars[c] = {lane.x, Ground(lane.x, z), z};
            EXPECT_EQ(1, QuibObjectPosition(cars_[c], lane.x, scene.cars[c].y, z));
        }
        for (int c = 0; c < 2; ++c) {
            const Vec wheel = scene.cars[c] + Vec{0, 0.02f, -kRearWheel};
            skid_[c] = f == 0 ? QuibAddSkid(wheel.x, wheel.y, wheel.z, 0, 1, 0, kSkidWidth)
                              : QuibExtendSkid(skid_[c], wheel.x, wheel.y, wheel.z, 0, 1, 0);
            EXPECT_GE(skid_[c], 0) << f;
        }
        QuibTickSmoke();
        puffs_.push_back(scene.cars[2] + Vec{-0.5f, 0.3f, -1.6f});
        QuibAddSmoke(puffs_.back().x, puffs_.back().y, puffs_.back().z, 1);
        // A puff lives two ticks with one texture and one tick a frame.
        if (puffs_.size() > 2) puffs_.erase(puffs_.begin());
        scene.puffs = puffs_;
        scene.marker = {18.0f, Ground(18.0f, 24.0f) + 1.5f, 24.0f};
        marker_->SetPosition(scene.marker.x, scene.marker.y, scene.marker.z);
        if (f) marker_->NextFrame();
        if (f % 4 == 0 && f) {
            EXPECT_EQ(1, QuibSprite3DNextFrame(dash_));
        }
        return scene;
    }

    // Puts the detail levels the camera at needs into the list, the marks and cars after the ground.
    void ChooseDetail(Vec at) {
        ASSERT_EQ(1, Manager().SetDetailLevel(list_, D3DVECTOR{at.x, at.y, at.z}, kDetailStep));
        for (void* object : {skids_, cars_[0], cars_[1], cars_[2]}) {
            QuibDelDisplayList(list_, object);
            QuibAddDisplayList(list_, object);
        }
        QuibFogEnableDL(list_, 1);
        QuibFogParamsDL(list_, kFog, kFogStart, kFogEnd, 0.02f);
    }

    // One view of the world: the list over the horizon, the marker, the smoke, the dashboard.
    void DrawView(bool dashboard) {
        ASSERT_EQ(1, QuibRenderDisplayList(list_)) << ErrorText();
        ASSERT_EQ(1, marker_->Render());
        QuibRenderSmoke();
        if (dashboard) {
            ASSERT_EQ(1, QuibSprite3DScreenXY(dash_, kDashX, kDashY));
            ASSERT_EQ(1, QuibSprite3DRender(dash_)) << ErrorText();
        }
        ASSERT_EQ(1, QuibUpdateDevice()) << ErrorText();
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

    // The projections of frame f's view: against the test's camera model, and against the
    // immediate-mode view of the frame just drawn.
    void CheckProjections(const Eye& eye, const Scene& scene, int f) {
        const Vec points[4] = {
            scene.marker, scene.cars[1], eye.at + eye.forward * 8.0f + Vec{1, -1, 0}, {0, 0, 64}};
        for (const Vec& p : points) {
            float sx = 0, sy = 0;
            const int inFront = QuibTransformPoint(p.x, p.y, p.z, &sx, &sy);
            if (std::abs(eye.Depth(p)) < 0.2f) continue; // at the front plane, or in the camera's plane
            EXPECT_EQ(eye.Depth(p) > 0 ? 1 : 0, inFront) << f;
            EXPECT_NEAR(eye.ScreenX(p), sx, 0.05f) << f;
            EXPECT_NEAR(eye.ScreenY(p), sy, 0.05f) << f;
            if (!inFront) continue;
            float x = p.x, y = p.y, z = p.z;
            int ix = 0, iy = 0;
            QuibWorldToScreen(x, y, z, ix, iy);
            EXPECT_NEAR(sx, float(ix), 1.0f) << f;
            EXPECT_NEAR(sy, float(iy), 1.0f) << f;
        }
        // Behind the camera: 0, the divided position written all the same.
        float bx = -1, by = -1;
        const Vec behind = eye.at - eye.forward * 5.0f + eye.right;
        EXPECT_EQ(0, QuibTransformPoint(behind.x, behind.y, behind.z, &bx, &by));
        EXPECT_NEAR(eye.ScreenX(behind), bx, 0.05f);
        // The whole-unit form truncates.
        long lx = 0, ly = 0;
        const Vec whole{std::round(eye.at.x), 0, std::round(eye.at.z) + 12};
        EXPECT_EQ(1, QuibTransformPoint(long(whole.x), 0L, long(whole.z), &lx, &ly));
        EXPECT_EQ(long(eye.ScreenX(whole)), lx) << f;
        EXPECT_EQ(long(eye.ScreenY(whole)), ly) << f;
    }

    // The pixels of frame f's forward view that the test can predict.
    void CheckPixels(const Eye& eye, const Scene& scene, int f, const std::vector<WORD>& rearStrip) {
        LockedPixels pixels(g_lpBackBuffer);
        ASSERT_TRUE(pixels.ok());
        for (int shot : kCaptured)
            if (shot == f)
                testsupport::WriteFrame565("small_game_" + std::to_string(f) + ".bmp", pixels.width(),
                                           pixels.height(), pixels.pitch(), &pixels.At(0, 0));
        auto at = [&](Vec p) { return pixels.At(int(eye.ScreenX(p)), int(eye.ScreenY(p))); };
        // Sky above the horizon (the camera looks level; the hills stay below its height), the ground
        // plane fogged out just below it.
        EXPECT_EQ(Encode(kSky), pixels.At(8, 100)) << f;
        EXPECT_EQ(Encode(kSky), pixels.At(630, 200)) << f;
        EXPECT_TRUE(Near(pixels.At(600, 244), kFog, 8)) << f << " " << std::hex << pixels.At(600, 244);
        // The ground ahead where nothing stands before it: the texture's stripe nearer than the fog's
        // start, half fog colour halfway through the fog, fog colour beyond its end.
        const auto occluders = scene.Occluders();
        for (float distance : {5.0f, (kFogStart + kFogEnd) / 2, kFogEnd + 3})
            for (float side : {-1.5f, 0.0f, 1.5f}) {
                Vec ground = eye.at + eye.forward * distance + eye.right * side;
                D3DVECTOR onGround{};
                if (!QuibFindTerrainManagerIntersection(manager_, ground.x, ground.z, onGround)) continue;
                ground.y = onGround.y;
                ASSERT_TRUE(eye.Shows(ground)) << f;
                if (std::any_of(occluders.begin(), occluders.end(), [&](const auto& box) {
                        return eye.MayCover(box.first, box.second, eye.ScreenX(ground), eye.ScreenY(ground));
                    }))
                    continue;
                groundSeen_++;
                const float fog =
                    std::clamp((eye.Depth(ground) - kFogStart) / (kFogEnd - kFogStart), 0.0f, 1.0f);
                EXPECT_TRUE(Near(at(ground), Mix(GrassAt(ground.x), kFog, fog), 12))
                    << f << " at " << ground.x << "," << ground.z << ": " << std::hex << at(ground);
            }
        // A car near in front shows its paint; the newest puff brightens whatever is behind it.
        for (const Vec& car : scene.cars) {
            const Vec back = car + Vec{0.4f, 0.4f, -1.5f};
            if (!eye.Shows(back, 2.0f) || eye.Depth(back) > kFogStart) continue;
            carsSeen_++;
            EXPECT_EQ(Encode(kPaint), at(back)) << f;
        }
        const Vec puff = scene.puffs.back();
        if (eye.Shows(puff, 2.0f) && eye.Depth(puff) < kFogStart) {
            puffsSeen_++;
            EXPECT_GE(std::min({Red(at(puff)), Green(at(puff)), Blue(at(puff))}), 120) << f;
        }
        // The marks behind the two outer cars: darker than the ground beside them.
        for (int c = 0; c < 2; ++c) {
            const Vec car = scene.cars[c];
            for (float z = kLanes[c].z - kRearWheel + 0.25f; z < car.z - 1.8f; z += 0.5f) {
                const Vec mark{car.x, 0.0f, z}, beside{car.x + kSkidWidth, 0.0f, z};
                if (!eye.Shows(mark, 3.0f) || eye.Depth(mark) > kFogStart) continue;
                marksSeen_++;
                const WORD m = at(mark), g = Encode(GrassAt(mark.x));
                EXPECT_TRUE(Red(m) <= Red(g) && Green(m) < Green(g) && Blue(m) <= Blue(g))
                    << f << " mark at " << z << ": " << std::hex << m << " on " << g;
                EXPECT_EQ(g, at(beside)) << f;
                break;
            }
        }
        // The dashboard sprite shows its current frame.
        EXPECT_EQ(Encode(kDashboard[(f / 4) % 2]), pixels.At(kDashX, kDashY)) << f;
        // The marker, when near in front, shows this frame's cell at its centre.
        if (eye.Shows(scene.marker) && eye.Depth(scene.marker) < kFogStart) {
            markerSeen_++;
            EXPECT_EQ(Encode(kMarkerCells[f % 4]), at(scene.marker)) << f;
        }
        // The mirror strip: the rear view's strip, left to right.
        for (int y = 0; y < kMirrorH; y += 7)
            for (int x = 0; x < kMirrorW; x += 9)
                ASSERT_EQ(rearStrip[size_t(y) * kMirrorW + size_t(kMirrorW - 1 - x)],
                          pixels.At(kMirrorToX + x, kMirrorToY + y))
                    << f << " mirror " << x << "," << y;
    }

    // The game ends: it frees everything it made, then the display. Every Retained Mode object held
    // here for the check is then held by nobody else, and no surface is left.
    void FreeAll() {
        std::vector<IUnknown*> held;
        auto hold = [&](Frame* frame) { held.insert(held.end(), {frame->m_frame, frame->m_lookatframe}); };
        for (void* tile : tiles_)
            for (Terrain* t = static_cast<Terrain*>(tile); t; t = t->m_lowDetail)
                hold(t);
        for (void* car : cars_)
            hold(static_cast<MeshObject*>(car));
        held.insert(held.end(), {static_cast<MeshObject*>(cars_[0])->m_mesh,
                                 static_cast<MeshObject*>(cars_[0])->m_meshbuilder});
        hold(static_cast<SkidObject*>(skids_));
        hold(marker_);
        hold(static_cast<Sprite3D*>(dash_));
        // The scene keeps a freed camera's frames as its children until it is freed itself.
        Frame* camera = static_cast<Frame*>(camera_);
        IUnknown* cameraFrames[2] = {camera->m_frame, camera->m_lookatframe};
        for (IUnknown* object : held)
            object->AddRef();
        for (IUnknown* object : cameraFrames)
            object->AddRef();

        EXPECT_EQ(1, QuibFreeCamera(camera_));
        QuibFreeSprite3D(dash_);
        delete marker_;
        QuibFreeSmoke();
        QuibDelDisplayList(list_, skids_); // only lists sorted with the marks drop them when they go
        QuibFreeSkidmarks();
        QuibFreeDisplayList(list_);
        QuibFreeObject(cars_[2]);
        QuibFreeObject(cars_[1]);
        QuibFreeObject(cars_[0]);
        delete &Manager();
        for (void* tile : tiles_)
            QuibFreeObject(tile);
        for (IUnknown* object : held)
            EXPECT_EQ(0u, object->Release());

        EXPECT_EQ(1, QuibMirrorFree());
        QuibFreeSurfaceTable();
        for (IDirectDrawSurface* surface : {grass_, heights_, puff_, dashboard_[0], dashboard_[1]})
            EXPECT_EQ(0u, surface->Release());
        QuibFogEnable(0);
        QuibSkidsEnable(0);
        QuibFreeDirectX();
        EXPECT_EQ(0, LastReleaseCount("g_lpScene", ReadLog()));
        for (IUnknown* object : cameraFrames)
            EXPECT_EQ(0u, object->Release());
        const HostDDrawObjectCounts live = HostDDrawLiveObjects();
        EXPECT_EQ(0, live.surfaces);
        EXPECT_EQ(0, live.directDraws);
    }

    void* manager_ = nullptr;
    std::vector<void*> tiles_;
    void* list_ = nullptr;
    std::vector<void*> cars_;
    void* skids_ = nullptr;
    int skid_[2] = {-1, -1};
    std::vector<Vec> puffs_;
    Sprite3d* marker_ = nullptr;
    void* dash_ = nullptr;
    void* camera_ = nullptr;
    IDirectDrawSurface* grass_ = nullptr;
    IDirectDrawSurface* heights_ = nullptr;
    IDirectDrawSurface* puff_ = nullptr;
    IDirectDrawSurface* dashboard_[2] = {};
    int groundSeen_ = 0, carsSeen_ = 0, puffsSeen_ = 0, marksSeen_ = 0, markerSeen_ = 0;
};

TEST_F(SmallGameTest, DrivesOverTheManagedGroundWithMarksSmokeSpritesFogAndMirror) {
    // Scene settings of the level: a blue sky, fog to the fog colour, nearest texels.
    ASSERT_EQ(1, QuibFogOK());
    QuibFogParams(kFog, kFogStart, kFogEnd, 0.02f);
    QuibFogEnable(1);
    ASSERT_EQ(1, QuibSetHorizonColor(kSky >> 16, (kSky >> 8) & 255, kSky & 255, kFog >> 16, (kFog >> 8) & 255,
                                     kFog & 255));
    ASSERT_EQ(1, QuibSetBilinearFiltering(0));
    ASSERT_NO_FATAL_FAILURE(LoadLevel());
    ASSERT_EQ(1, QuibMirrorInit(0, 0, kMirrorW, kMirrorH));

    for (int f = 0; f < kFrames; ++f) {
        const Scene scene = Play(f);
        Vec at = PathPoint(f);
        at.y = Ground(at.x, at.z) + kEyeHeight;
        const float yaw = PathYaw(f);
        const Vec ahead{10.0f * std::sin(yaw), 0.0f, 10.0f * std::cos(yaw)};
        ASSERT_NO_FATAL_FAILURE(ChooseDetail(at));
        // Full detail under the camera, the farthest tile coarser.
        EXPECT_EQ(0, Manager().m_cells[int(at.x / kTile) + kTilesX * int(at.z / kTile)].level);
        EXPECT_GE(Manager().m_cells[kTilesX * kTilesZ - 1].level, 1);

        // The rear view, copied into the mirror surfaces; then the forward view with the mirror on top.
        ASSERT_EQ(1, QuibCameraLook(at.x, at.y, at.z, at.x - ahead.x, at.y, at.z - ahead.z));
        QuibDrawingMirrors(1);
        ASSERT_NO_FATAL_FAILURE(DrawView(false));
        QuibDrawingMirrors(0);
        const std::vector<WORD> rear = ReadStrip();
        ASSERT_EQ(1, QuibMirrorViewport(nullptr, kMirrorX, kMirrorY, kMirrorW, kMirrorH));
        ASSERT_EQ(1, QuibCameraLook(at.x, at.y, at.z, at.x + ahead.x, at.y, at.z + ahead.z));
        ASSERT_NO_FATAL_FAILURE(DrawView(true));
        ASSERT_EQ(1, QuibBlitMirror(0, 0, kMirrorW, kMirrorH, kMirrorToX, kMirrorToY));

        const Eye eye(at, at + ahead);
        ASSERT_NO_FATAL_FAILURE(CheckProjections(eye, scene, f));
        ASSERT_NO_FATAL_FAILURE(CheckPixels(eye, scene, f, rear));
        ASSERT_EQ(1, QuibFlip()) << ErrorText();
    }
    // Each kind of prediction was met often enough to mean something.
    EXPECT_GE(groundSeen_, 2 * kFrames);
    EXPECT_GE(carsSeen_, 4);
    EXPECT_GE(puffsSeen_, 2);
    EXPECT_GE(marksSeen_, 4);
    EXPECT_GE(markerSeen_, 2);
    FreeAll();
}

} // namespace
