// Loads a ".x" file through the host library it runs against (its helper program must be beside that
// library) and prints the face count. Exit status 0 when the file loaded.
// Usage: x_load_probe FILE.x
#include <cstdio>

#include "host/rm/d3drm.h"

int main(int argc, char** argv) {
    IDirect3DRM* rm = nullptr;
    if (argc != 2 || Direct3DRMCreate(&rm) != D3DRM_OK) return 2;
    IDirect3DRMMeshBuilder* builder = nullptr;
    HRESULT hr = rm->CreateMeshBuilder(&builder);
    if (hr == D3DRM_OK) hr = builder->Load(argv[1], nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr);
    if (hr == D3DRM_OK) std::printf("%d\n", builder->GetFaceCount());
    if (builder) builder->Release();
    rm->Release();
    return hr == D3DRM_OK ? 0 : 1;
}
