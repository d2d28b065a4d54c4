// Settings applied to every object of a display list.
#include "quib/quib.h"
#include "quib/scene/objects/display_list.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/pipeline/scene_fog.h"

namespace {

template <class Apply> void ForEachObject(void* list, Apply apply) {
    auto* objects = static_cast<DisplayList*>(list);
    for (int i = 0; i < objects->GetCount(); ++i)
        if (MeshObject* object = objects->GetAt(i)) apply(*object);
}

} // namespace

int QuibUseMipMapsDL(void* list, int on) {
    ForEachObject(list, [on](MeshObject& o) { o.UseMipMaps(on); });
    return 1;
}

void QuibSetMipMapLevelDL(void* list, int level) {
    ForEachObject(list, [level](MeshObject& o) { o.SetMipMapLevel(level); });
}

void QuibFogEnableDL(void* list, int on) {
    QuibFogEnable(on);
    ForEachObject(list, [](MeshObject& o) { o.SetFogEnable(g_FogEnabled); });
}

void QuibFogParamsDL(void* list, unsigned long colour, float start, float end, float density) {
    ForEachObject(list, [&](MeshObject& o) {
        o.SetFogColor(colour);
        o.SetFogParams(start, end, density);
        if (o.m_detailFrame) o.m_detailFrame->SetSceneFogColor(D3DCOLOR(colour));
    });
    QuibFogParams(colour, start, end, density);
}

void QuibSetSwitchDistancesDL(void* list, float d0, float d1, float d2, float d3, float d4) {
    ForEachObject(list, [&](MeshObject& o) {
        o.m_switchDistance0 = d0;
        o.m_switchDistance1 = d1;
        o.m_switchDistance2 = d2;
        o.m_switchDistance3 = d3;
        o.m_switchDistance4 = d4;
    });
}

void QuibSetSwitchRatiosDL(void* list, float r1, float r2, float r3, float r4, float r5) {
    ForEachObject(list, [&](MeshObject& o) { o.ComputeSwitchDistances(r1, r2, r3, r4, r5); });
}
