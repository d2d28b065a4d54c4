// Render types: every 3D object carries a one-letter type. A scene-wide string of enabled letters says
// which types are drawn ("*" all of them; upper case marks letters the frame-rate adjustment may drop),
// a fixed table gives each type's draw distances (scaled by the detail factor), and object names of the
// model files ("t" N "p" P X) carry the type.
#pragma once

#include "quib/quib.h"
#include "quib/scene/objects/display_list.h"

constexpr int kRenderTypesSize = 40;

// The enabled render-type letters, "*" at start; always terminated.
extern char RenderTypes[kRenderTypesSize];
// The enabled texture-type letters, "*" at start; always terminated.
extern char TextureTypes[kRenderTypesSize];
// QuibIsRenderType('z') for the current RenderTypes: whether background objects are drawn.
extern int g_SkyTypeEnabled;
// The current skid-mark object, drawn with every sorted list; NULL when there is none. Set only by
// QuibInitSkidmarks (to a SkidObject); freeing the object clears it.
extern MeshObject* g_pSkidObject;
// Far and near draw distances are multiplied by this; 1.0 at start.
extern float g_DetailFactor;

// One row of the per-type draw parameters.
struct SwitchDistanceRow {
    char type;
    int flag;
    float farDistance;
    float nearDistance;
    int extra;
    int zbuffer;
};

// The draw parameters of type (the default row for types not in the table), far and near multiplied by
// the detail factor. NULL outputs are skipped.
void GetRenderTypeParams(char type, int* flag, float* farDistance, float* nearDistance, int* extra,
                         int* zbuffer);

// Reads a model object's name "t" N "p" P X (N and P one digit, or two when the second is a digit) into
// its number, parent and lower-case type letter; "t" N "bg" is a background object (parent -1, type
// 'z'); anything else gives type '?' (number 0 and parent 0 for names not starting with 't').
void ParseObjectName(const char* name, int* number, int* parent, char* type);

// One frame of the frame-rate adjustment's letter handling: below low fps, after the drop delay, the first
// upper-case letter of RenderTypes is dropped (kept on a stack); above high, after the restore delay, the
// last dropped letter goes back in front. 1 when a letter was dropped or restored, else 0.
int AdjustRenderTypes(float low, float high, float fps);
