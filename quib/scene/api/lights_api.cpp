// The exported scene-wide lighting settings of the immediate-mode pipeline.
#include "quib/quib.h"
#include "quib/scene/pipeline/lighting.h"

int QuibInitLights(SPECULAR_LIGHT* lights, int count, float value) {
    setup_all_lights(lights, count, value);
    return 1;
}

void QuibLightsEnable(int mask) {
    g_LightsEnabled = mask;
}
