#include "tests/quib/small_game_world.h"

#include <cmath>

#include "tests/quib/m3d_writer.h"
#include "quib/platform/directx.h"
#include "quib/quib.h"
#include "quib/scene/world/sprite.h"
#include "quib/scene/world/terrain_manager.h"
#include "tests/support/bmp.h"
#include "tests/support/files.h"

namespace smallgame {
namespace {

// Writes a 24-bit BMP of w x h pixels, colour(x, y) each, into the current folder and loads it.
IDirectDrawSurface* LoadBmp(const char* name, int w, int h, const std::function<uint32_t(int, int)>& colour) {
    testsupport::WriteBmp24(name, w, h, colour);
    return QuibLoadBitmap(name);
}

// An 8-bit grey height map: a round mound in the middle, 0 on a wide border so that neighbouring tiles
// meet at height 0 whatever their detail.
void WriteHeightMap(const char* name) {
    std::vector<uint32_t> greys;
    for (uint32_t i = 0; i < 256; ++i)
        greys.push_back(i * 0x010101u);
    testsupport::WriteBytes(name, testsupport::Bmp8Bytes(32, 32, greys, [](int x, int y) {
                                const float r = std::hypot(x - 15.5f, y - 15.5f);
                                return r < 10.0f ? uint8_t(255 * (1 - r / 10.0f)) : uint8_t(0);
                            }));
}

// The car model: a box 1.6 wide, 0.8 high and 3 long standing on its origin, in one paint, each face
// both ways round so that it shows from every side.
void WriteCar(const char* name) {
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
    testsupport::WriteBytes(name, m3dtest::Bytes(model));
}

} // namespace

Vec PathPoint(int f) {
    const float t = float(f) / float(kFrames - 1);
    return {16.0f + 4.0f * std::sin(3.1415926f * t), 0.0f, 4.0f + 30.0f * t};
}

float PathYaw(int f) {
    return 0.35f * std::sin(6.2831853f * float(f) / float(kFrames - 1));
}

DWORD GrassAt(float x) {
    return kGrass[int(std::fmod(x, kTile) / 4) & 1];
}

std::vector<std::pair<Vec, Vec>> Placement::Occluders() const {
    std::vector<std::pair<Vec, Vec>> boxes;
    for (const Vec& c : cars)
        boxes.push_back({c + Vec{-0.8f, 0, -1.5f}, c + Vec{0.8f, 0.8f, 1.5f}});
    boxes.push_back({marker + Vec{-0.6f, -0.6f, -0.6f}, marker + Vec{0.6f, 0.6f, 0.6f}});
    for (const Vec& p : puffs)
        boxes.push_back({p + Vec{-1.5f, -1.0f, -1.5f}, p + Vec{1.5f, 2.0f, 1.5f}});
    return boxes;
}

std::string World::Load() {
    grass = LoadBmp("grass.bmp", 16, 16, [](int x, int) { return kGrass[(x / 4) & 1]; });
    WriteHeightMap("hills.bmp");
    heights = QuibLoadBitmap("hills.bmp");
    if (!grass || !heights) return "ground bitmaps";
    if (QuibInitTerrainManager(&manager) != 1) return "QuibInitTerrainManager";
    Manager().SetGridParams(0, 0, kTile, kTile, kTilesX, kTilesZ);
    for (int iz = 0; iz < kTilesZ; ++iz)
        for (int ix = 0; ix < kTilesX; ++ix) {
            void* tile = nullptr;
            if (QuibInitTerrain(ix * kTile, iz * kTile, kTile, kTile, kCells, kCells, grass, &tile) != 1)
                return "QuibInitTerrain";
            if (QuibApplyElevationMap(tile, heights, 0.0f, kHillHeight * 256 / 255, 1) != 1)
                return "QuibApplyElevationMap";
            if (QuibAddTerrainManager(manager, tile, ix, iz) != 1) return "QuibAddTerrainManager";
            tiles.push_back(tile);
        }
    if (Manager().MakeLowDetailVersions(16) != 1) return "MakeLowDetailVersions"; // 8 x 8, 4 x 4, 2 x 2
    list = QuibCreateDisplayList(16);

    WriteCar("car.m3d");
    void* car = nullptr;
    char carFile[] = "car.m3d";
    if (QuibLoadObject(carFile, &car) != 1) return "QuibLoadObject";
    cars = {car, QuibMakeInstance(car), QuibMakeInstance(car)};
    if (!cars[1] || !cars[2]) return "QuibMakeInstance";
    void* made = QuibInitSkidmarks(&skids);
    if (!made || made != skids) return "QuibInitSkidmarks";
    QuibSkidsEnable(1);

    puff = LoadBmp("puff.bmp", 16, 16,
                   [](int x, int y) { return std::hypot(x - 7.5f, y - 7.5f) < 7 ? 0xF8F8F8u : 0u; });
    if (!puff) return "puff.bmp";
    IDirectDrawSurface* puffTextures[] = {puff, nullptr};
    QuibInitSmoke(8, puffTextures);

    testsupport::WriteBmp24("marker.bmp", 16, 16,
                            [](int x, int y) { return uint32_t(kMarkerCells[(x / 8) + 2 * (y / 8)]); });
    marker = new Sprite3d("marker.bmp", 2, 2, 1.0f, 1.0f, 0.0f, 0.0f, kScale, 255);
    for (int i = 0; i < 2; ++i) {
        dashboard[i] =
            LoadBmp(i ? "dash1.bmp" : "dash0.bmp", 16, 16, [i](int, int) { return uint32_t(kDashboard[i]); });
        if (!dashboard[i]) return "dashboard bitmaps";
    }
    IDirectDrawSurface* frames[] = {dashboard[0], dashboard[1], nullptr};
    if (QuibSprite3DCreate(frames, &dash) != 1) return "QuibSprite3DCreate";
    if (QuibSprite3DParameters(dash, 24, 24, 8, 8, 1, 0) != 1) return "QuibSprite3DParameters";

    if (QuibCreateCamera(nullptr, &camera) != 1) return "QuibCreateCamera";
    if (QuibSetCamera(camera) != 1) return "QuibSetCamera";
    return "";
}

float World::Ground(float x, float z) {
    D3DVECTOR at{};
    return QuibFindTerrainManagerIntersection(manager, x, z, at) == 1 ? at.y : 0.0f;
}

Placement World::Play(int f, std::string& errors) {
    Placement placed;
    for (int c = 0; c < 3; ++c) {
        const Lane& lane = kLanes[c];
        const float z = lane.z + lane.speed * float(f);
        placed.cars[c] = {lane.x, Ground(lane.x, z), z};
        if (QuibObjectPosition(cars[c], lane.x, placed.cars[c].y, z) != 1) errors += "QuibObjectPosition ";
    }
    for (int c = 0; c < 2; ++c) {
        const Vec wheel = placed.cars[c] + Vec{0, 0.02f, -kRearWheel};
        skid[c] = f == 0 ? QuibAddSkid(wheel.x, wheel.y, wheel.z, 0, 1, 0, kSkidWidth)
                         : QuibExtendSkid(skid[c], wheel.x, wheel.y, wheel.z, 0, 1, 0);
        if (skid[c] < 0) errors += "skid ";
    }
    QuibTickSmoke();
    puffs.push_back(placed.cars[2] + Vec{-0.5f, 0.3f, -1.6f});
    QuibAddSmoke(puffs.back().x, puffs.back().y, puffs.back().z, 1);
    // A puff lives two ticks with one texture and one tick a frame.
    if (puffs.size() > 2) puffs.erase(puffs.begin());
    placed.puffs = puffs;
    placed.marker = {18.0f, Ground(18.0f, 24.0f) + 1.5f, 24.0f};
    marker->SetPosition(placed.marker.x, placed.marker.y, placed.marker.z);
    if (f) marker->NextFrame();
    if (f % 4 == 0 && f && QuibSprite3DNextFrame(dash) != 1) errors += "QuibSprite3DNextFrame ";
    return placed;
}

bool World::ChooseDetail(Vec at) {
    if (Manager().SetDetailLevel(list, D3DVECTOR{at.x, at.y, at.z}, kDetailStep) != 1) return false;
    for (void* object : {skids, cars[0], cars[1], cars[2]}) {
        QuibDelDisplayList(list, object);
        QuibAddDisplayList(list, object);
    }
    QuibFogEnableDL(list, fog ? 1 : 0);
    QuibFogParamsDL(list, kFog, kFogStart, kFogEnd, 0.02f);
    return true;
}

std::string World::DrawView(bool withDashboard, int dashX, int dashY) {
    if (QuibRenderDisplayList(list) != 1) return "QuibRenderDisplayList";
    if (marker->Render() != 1) return "marker";
    QuibRenderSmoke();
    if (withDashboard) {
        if (QuibSprite3DScreenXY(dash, dashX, dashY) != 1) return "QuibSprite3DScreenXY";
        if (QuibSprite3DRender(dash) != 1) return "QuibSprite3DRender";
    }
    if (QuibUpdateDevice() != 1) return "QuibUpdateDevice";
    return "";
}

std::string World::DrawFrame(Vec at, float yaw, const Layout& layout, std::vector<WORD>* rearStrip) {
    const Vec ahead{10.0f * std::sin(yaw), 0.0f, 10.0f * std::cos(yaw)};
    if (!ChooseDetail(at)) return "SetDetailLevel";
    // The rear view, copied into the mirror surfaces; then the forward view with the mirror on top.
    if (QuibCameraLook(at.x, at.y, at.z, at.x - ahead.x, at.y, at.z - ahead.z) != 1) return "rear look";
    QuibDrawingMirrors(1);
    std::string failed = DrawView(false, 0, 0);
    QuibDrawingMirrors(0);
    if (!failed.empty()) return "rear view: " + failed;
    if (rearStrip) {
        rearStrip->clear();
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        if (FAILED(g_lpBackBuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return "back buffer lock";
        for (int y = 0; y < layout.mirrorH; ++y) {
            const WORD* row = reinterpret_cast<const WORD*>(static_cast<const BYTE*>(desc.lpSurface) +
                                                            ptrdiff_t(layout.mirrorY + y) * desc.lPitch);
            rearStrip->insert(rearStrip->end(), row + layout.mirrorX, row + layout.mirrorX + layout.mirrorW);
        }
        g_lpBackBuffer->Unlock(nullptr);
    }
    if (QuibMirrorViewport(nullptr, layout.mirrorX, layout.mirrorY, layout.mirrorW, layout.mirrorH) != 1)
        return "QuibMirrorViewport";
    if (QuibCameraLook(at.x, at.y, at.z, at.x + ahead.x, at.y, at.z + ahead.z) != 1) return "forward look";
    failed = DrawView(true, layout.dashX, layout.dashY);
    if (!failed.empty()) return "forward view: " + failed;
    if (QuibBlitMirror(0, 0, layout.mirrorW, layout.mirrorH, layout.mirrorToX, layout.mirrorToY) != 1)
        return "QuibBlitMirror";
    return "";
}

} // namespace smallgame
