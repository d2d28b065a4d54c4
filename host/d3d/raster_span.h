// Span kernels: the inner loops that fill one row of a triangle. A kernel is chosen once per draw
// call from the pipeline: specialised loops for the common combinations (depth test and write,
// nearest sampling of a power-of-two wrapped texture, modulate or decal, no fog or blending), and one
// general loop that runs the whole pixel pipeline for everything else.
#pragma once

#include "host/d3d/raster.h"

namespace host_d3d {

// One triangle as its spans read it: the planes of its attributes.
struct SpanJob {
    const RasterTarget* target;
    const RasterTexture* texture; // NULL when untextured
    const PixelPipeline* pipeline;
    double originX; // the point the planes are written from
    double originY;
    double start[kAttributeCount]; // values at the origin
    double dx[kAttributeCount];    // change per pixel to the right
    double dy[kAttributeCount];    // change per row down

    double ValueAt(int attribute, double x, double y) const {
        return start[attribute] + dx[attribute] * (x - originX) + dy[attribute] * (y - originY);
    }
};

SpanKernel ChooseSpanKernel(const PixelPipeline& pipeline, const RasterTexture* texture,
                            const RasterTarget& target);

} // namespace host_d3d
