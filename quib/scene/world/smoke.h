// The smoke effect's state: one pool of puffs for the library, the smoke textures as single-surface
// Sprite3Ds (quib/scene/world/sprite3d_decal.h) and the work space of the far-to-near sort. The flat
// functions (QuibInitSmoke and its companions, quib/quib.h) make, fill, advance, draw and free it.
#pragma once

#include "quib/ptrarray.h"

class Sprite3D;

// One smoke puff: eighteen 32-bit fields, 72 bytes.
struct PUFF {
    float startWidth;  // 0.5
    float startHeight; // 0.5
    int active;        // 1 while the puff lives
    int ticksPerFrame;
    int ticksLeft;     // to the next texture frame
    int intensity;     // grey level it is drawn with: 255 at birth, never below 0
    int fadeStep;      // taken off the intensity each time it is drawn
    int frameCount;    // smoke textures
    int framesLeft;    // texture frames still to show
    int frame;         // index into the smoke textures
    float position[3]; // world point
    float width;       // world units, growing
    float height;
    int anchorX; // texel column placed on the point: frame 0's width / 2
    int anchorY; // texel row placed on the point: h - h / 3 of frame 0's height h
    int reserved;
};
static_assert(sizeof(PUFF) == 72, "a puff is eighteen 32-bit fields");

struct SmokeState {
    int poolSize = 0;
    PUFF* pool = nullptr;                 // poolSize records; NULL before QuibInitSmoke or when out of memory
    PtrArray<Sprite3D>* frames = nullptr; // one single-surface sprite per smoke texture; owned
    PUFF** sorted = nullptr;              // the active puffs, farthest first
    int sortedCount = 0;
    float* distances = nullptr;  // work space of the sort, one per record
    PUFF** candidates = nullptr; // likewise
    float areaBudget = 0.5f;     // largest fraction of the viewport smoke covers in one frame
    int enabled = 1;             // QuibRenderSmoke() draws only while non-zero
};
extern SmokeState g_Smoke;
