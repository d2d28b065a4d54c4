// A ".x" file's contents as plain arrays, and the message that carries them from the helper program
// that reads the file (quib-ximport) to the loader.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/d3d/d3dtypes.h"

// Largest ".x" file read, in bytes, and most vertices and face corners one file may give.
constexpr size_t kHostRMXFileMaxBytes = 64u * 1024 * 1024;
constexpr size_t kHostRMXMaxCorners = 16u * 1024 * 1024;
// Most materials one file may give, and the longest texture file name, in bytes.
constexpr size_t kHostRMXMaxMaterials = 65536;
constexpr size_t kHostRMXMaxNameBytes = 1024;
// A face's material index for a face without material.
constexpr uint32_t kHostRMXNoMaterial = 0xFFFFFFFFu;

// One file material: its diffuse colour (0xAARRGGBB), the values of its material object and the file
// name of its diffuse texture (empty for none).
struct HostRMXMaterial {
    D3DCOLOR colour = 0xFFFFFFFF;
    float power = 0.0f;
    float specular[3] = {};
    float emissive[3] = {};
    std::string texture;
};

// A face: cornerCount corners, taken in turn from the corner list, and its material index.
struct HostRMXFace {
    uint32_t cornerCount = 0;
    uint32_t material = kHostRMXNoMaterial;
};

// A whole file: one position, normal and texture coordinate pair (tu, tv) per vertex; faces whose
// corners are vertex indices.
struct HostRMXFlat {
    std::vector<HostRMXMaterial> materials;
    std::vector<D3DVECTOR> positions;
    std::vector<D3DVECTOR> normals;
    std::vector<float> texCoords;
    std::vector<HostRMXFace> faces;
    std::vector<uint32_t> corners;
};

// Whether flat holds what a message may carry: counts within the bounds (kHostRMXMaxCorners for
// vertices and corners), a normal and a texture coordinate pair per vertex, faces of three corners or
// more that use exactly the corner list, indices in range and names without a zero byte.
bool HostRMXFlatSound(const HostRMXFlat& flat);

// Writes flat to the file descriptor fd as one message; false when a write fails (EPIPE included:
// the caller ignores SIGPIPE).
bool HostRMXSendFlat(int fd, const HostRMXFlat& flat);

// Reads one message from fd into out (which must be empty), waiting until deadline at most. Nothing the
// message says is trusted: every count is checked against the bounds before its data is read, memory
// grows only with the bytes that actually arrive, and the result must pass HostRMXFlatSound. False for
// a short, malformed or late message; out is then unspecified. What follows the message is not read.
bool HostRMXReceiveFlat(int fd, std::chrono::steady_clock::time_point deadline, HostRMXFlat& out);

// The same reading, checks and result for a message held in memory (size bytes at data).
bool HostRMXParseFlat(const uint8_t* data, size_t size, HostRMXFlat& out);
