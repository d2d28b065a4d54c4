// The 3D device's capabilities and the Retained Mode device update, after start-up.
#include <cstring>

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"

namespace {

void ClearDescription(D3DDEVICEDESC* desc) {
    if (!desc) return;
    std::memset(desc, 0, sizeof(*desc));
    desc->dwSize = sizeof(*desc);
}

} // namespace

int QuibGetD3DCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* software) {
    ClearDescription(hardware);
    ClearDescription(software);
    // Before start-up (or with a NULL output) the cleared descriptions are the answer.
    if (!g_lpD3DDevice || !hardware || !software) return 0;
    HRESULT hr = g_lpD3DDevice->GetCaps(hardware, software);
    if (FAILED(hr)) REPORT_D3D_ERROR(hr);
    return 0;
}

int QuibUpdateDevice() {
    if (!g_lpD3DRMDevice2 || !g_lpD3DDevice2) {
        RegError("QuibUpdateDevice : no Direct3D device");
        return 0;
    }
    HRESULT hr = g_lpD3DRMDevice2->Update();
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    // Closes the immediate-mode scene the render path opened; none open is no failure.
    g_lpD3DDevice2->EndScene();
    return 1;
}
