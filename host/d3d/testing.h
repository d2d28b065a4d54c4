// Switches that tests of the rasterizer use to reach what a machine never chooses by itself.
#pragma once

// Off: every triangle is drawn by the rasterizer's general per-pixel loop, the reference the
// specialised span kernels must match pixel for pixel; on (the default): the kernels draw what they
// cover. Takes effect from the next draw call.
void HostD3DUseFastSpans(bool on);
