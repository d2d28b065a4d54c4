// What the render paths of the 3D layer drew in the last frame, for the statistics line.
#pragma once

struct RenderStatistics {
    int objects;
    int vertices;
    int polygons;
    int textureBytes; // no path counts texture bytes: stays 0
};
// Zero at load; the render paths count into it, QuibShowStats prints it.
extern RenderStatistics g_RenderStats;
