// The world of a small 3D game driven through the engine's flat interface, as a game's frame loop
// drives it: a hilly ground of 2 x 4 tiles under a terrain manager, three cars (a model loaded from its
// file and two instances of it) driving up it, two leaving skid marks and one smoking, a camera of the
// game's own flying a path over them with a rear-view mirror, fog and the horizon behind, an animated
// sprite-sheet marker and a sprite on the dashboard. Shared by the small-game test (which checks what
// it draws) and the 3D frame benchmark (which times a frame of it). No GoogleTest here: failures come
// back as text.
#pragma once

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "host/ddraw/ddraw.h"

class Sprite3d;
class TerrainManager;

namespace smallgame {

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

constexpr int kFrames = 16;

struct Vec {
    float x, y, z;
    Vec operator+(Vec b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vec operator-(Vec b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vec operator*(float k) const { return {k * x, k * y, k * z}; }
    float Dot(Vec b) const { return x * b.x + y * b.y + z * b.z; }
    Vec Cross(Vec b) const { return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x}; }
    Vec Unit() const { return *this * (1.0f / std::sqrt(Dot(*this))); }
};

// Where the camera is in frame f: a weave across the ground while flying forward, turning gently.
Vec PathPoint(int f);
float PathYaw(int f);

// The ground texture's colour at world x: stripes 4 units wide across each tile.
DWORD GrassAt(float x);

// What stands in the world in one frame, as the game logic placed it: the boxes that may hide the
// ground behind them (cars, marker, smoke puffs).
struct Placement {
    Vec cars[3];
    Vec marker;
    std::vector<Vec> puffs;
    std::vector<std::pair<Vec, Vec>> Occluders() const;
};

// Where a frame's pieces go on the screen: the strip of the rear view the mirror copies, where its
// mirror image goes, and the dashboard sprite.
struct Layout {
    int mirrorX, mirrorY, mirrorW, mirrorH;
    int mirrorToX, mirrorToY;
    int dashX, dashY;
};

// The game's objects, made by Load after QuibInitDirectX and the scene settings.
struct World {
    // Writes the level's files into the current folder and loads them: tiles, cars, marks, smoke,
    // marker, dashboard sprite, the game's camera. "" on success, else what failed.
    std::string Load();
    // Game logic of frame f: cars driven on, their marks and smoke, the marker's and the dashboard's
    // next frames. Failures are added to errors.
    Placement Play(int f, std::string& errors);
    // The ground height under (x, z), from the manager's tiles (0 when there is none).
    float Ground(float x, float z);
    // Puts the detail levels the camera at needs into the list, the marks and cars after the ground,
    // with the list's fog on when fog is set.
    bool ChooseDetail(Vec at);
    // One view of the world: the list over the horizon, the marker, the smoke, the dashboard sprite at
    // (dashX, dashY) when asked. "" on success.
    std::string DrawView(bool dashboard, int dashX, int dashY);
    // One whole frame with the camera at at, looking along yaw: the detail, the rear view copied into
    // the mirror surfaces (its strip kept in rearStrip when given), the forward view with the mirror
    // blitted on top. Needs QuibMirrorInit. "" on success.
    std::string DrawFrame(Vec at, float yaw, const Layout& layout, std::vector<WORD>* rearStrip);
    TerrainManager& Manager() { return *static_cast<TerrainManager*>(manager); }

    bool fog = true;
    void* manager = nullptr;
    std::vector<void*> tiles;
    void* list = nullptr;
    std::vector<void*> cars;
    void* skids = nullptr;
    int skid[2] = {-1, -1};
    std::vector<Vec> puffs;
    Sprite3d* marker = nullptr;
    void* dash = nullptr;
    void* camera = nullptr;
    IDirectDrawSurface* grass = nullptr;
    IDirectDrawSurface* heights = nullptr;
    IDirectDrawSurface* puff = nullptr;
    IDirectDrawSurface* dashboard[2] = {};
};

} // namespace smallgame
