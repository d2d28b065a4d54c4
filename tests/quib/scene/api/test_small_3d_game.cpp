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
#include "tests/quib/small_game_world.h"
#include "tests/quib/video_test_support.h"
#include "tests/support/frame_capture.h"

using namespace video_test;
using namespace smallgame;

namespace {

constexpr int kWidth = 640, kHeight = 480;

// The rear-view mirror: the strip of the rear view copied, and where its mirror image goes.
constexpr int kMirrorX = 240, kMirrorY = 225, kMirrorW = 160, kMirrorH = 110;
constexpr int kMirrorToX = 240, kMirrorToY = 8;
constexpr int kDashX = 60, kDashY = 420; // the dashboard sprite

constexpr Layout kLayout{kMirrorX, kMirrorY, kMirrorW, kMirrorH, kMirrorToX, kMirrorToY, kDashX, kDashY};
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

class SmallGameTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), kWidth, kHeight)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, kWidth, kHeight)) << ErrorText();
        ASSERT_EQ(1, QuibSetFOV(0.1f));
    }

    // The projections of frame f's view: against the test's camera model, and against the
    // immediate-mode view of the frame just drawn.
    void CheckProjections(const Eye& eye, const Placement& scene, int f) {
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
    void CheckPixels(const Eye& eye, const Placement& scene, int f, const std::vector<WORD>& rearStrip) {
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
                if (!QuibFindTerrainManagerIntersection(world_.manager, ground.x, ground.z, onGround))
                    continue;
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
        for (void* tile : world_.tiles)
            for (Terrain* t = static_cast<Terrain*>(tile); t; t = t->m_lowDetail)
                hold(t);
        for (void* car : world_.cars)
            hold(static_cast<MeshObject*>(car));
        held.insert(held.end(), {static_cast<MeshObject*>(world_.cars[0])->m_mesh,
                                 static_cast<MeshObject*>(world_.cars[0])->m_meshbuilder});
        hold(static_cast<SkidObject*>(world_.skids));
        hold(world_.marker);
        hold(static_cast<Sprite3D*>(world_.dash));
        // The scene keeps a freed camera's frames as its children until it is freed itself.
        Frame* camera = static_cast<Frame*>(world_.camera);
        IUnknown* cameraFrames[2] = {camera->m_frame, camera->m_lookatframe};
        for (IUnknown* object : held)
            object->AddRef();
        for (IUnknown* object : cameraFrames)
            object->AddRef();

        EXPECT_EQ(1, QuibFreeCamera(world_.camera));
        QuibFreeSprite3D(world_.dash);
        delete world_.marker;
        QuibFreeSmoke();
        QuibDelDisplayList(world_.list,
                           world_.skids); // only lists sorted with the marks drop them when they go
        QuibFreeSkidmarks();
        QuibFreeDisplayList(world_.list);
        QuibFreeObject(world_.cars[2]);
        QuibFreeObject(world_.cars[1]);
        QuibFreeObject(world_.cars[0]);
        delete &world_.Manager();
        for (void* tile : world_.tiles)
            QuibFreeObject(tile);
        for (IUnknown* object : held)
            EXPECT_EQ(0u, object->Release());

        EXPECT_EQ(1, QuibMirrorFree());
        QuibFreeSurfaceTable();
        for (IDirectDrawSurface* surface :
             {world_.grass, world_.heights, world_.puff, world_.dashboard[0], world_.dashboard[1]})
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

    World world_;
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
    ASSERT_EQ("", world_.Load()) << ErrorText();
    ASSERT_EQ(1, QuibMirrorInit(0, 0, kMirrorW, kMirrorH));

    for (int f = 0; f < kFrames; ++f) {
        std::string errors;
        const Placement scene = world_.Play(f, errors);
        EXPECT_EQ("", errors) << f;
        Vec at = PathPoint(f);
        at.y = world_.Ground(at.x, at.z) + kEyeHeight;
        const float yaw = PathYaw(f);
        const Vec ahead{10.0f * std::sin(yaw), 0.0f, 10.0f * std::cos(yaw)};
        std::vector<WORD> rear;
        ASSERT_EQ("", world_.DrawFrame(at, yaw, kLayout, &rear)) << ErrorText();
        // Full detail under the camera, the farthest tile coarser.
        EXPECT_EQ(0, world_.Manager().m_cells[int(at.x / kTile) + kTilesX * int(at.z / kTile)].level);
        EXPECT_GE(world_.Manager().m_cells[kTilesX * kTilesZ - 1].level, 1);

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
