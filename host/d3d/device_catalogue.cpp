#include "host/d3d/device_catalogue.h"

#include <cstring>

#include "host/backend/machine.h"

namespace {

struct CatalogueEntry {
    HostD3DDeviceKind kind;
    const GUID* id;
    char description[48];
    char name[32];
};

// Listing order: software devices first, the hardware device last.
CatalogueEntry g_catalogue[] = {
    {HostD3DDeviceKind::SoftwareMono, &IID_IDirect3DRampDevice, "Host software mono device",
     "Ramp Emulation"},
    {HostD3DDeviceKind::SoftwareRGB, &IID_IDirect3DRGBDevice, "Host software RGB device", "RGB Emulation"},
    {HostD3DDeviceKind::Hardware, &IID_IDirect3DHALDevice, "Host hardware 3D device", "Direct3D HAL"},
};

CatalogueEntry& Entry(HostD3DDeviceKind kind) {
    for (CatalogueEntry& entry : g_catalogue)
        if (entry.kind == kind) return entry;
    return g_catalogue[0];
}

// What every device draws with: the host rasterizer, into 16-bit targets with a 16-bit Z-buffer.
void DescribeRasterizer(D3DDEVICEDESC* desc, D3DCOLORMODEL model, DWORD filterCaps) {
    desc->dcmColorModel = model;
    for (D3DPRIMCAPS* caps : {&desc->dpcLineCaps, &desc->dpcTriCaps}) {
        caps->dwSize = sizeof(D3DPRIMCAPS);
        caps->dwRasterCaps = D3DPRASTERCAPS_FOGTABLE;
        caps->dwTextureFilterCaps = filterCaps;
    }
    desc->dwDeviceRenderBitDepth = DDBD_16;
    desc->dwDeviceZBufferBitDepth = DDBD_16;
}

void ClearDescription(D3DDEVICEDESC* desc) {
    std::memset(desc, 0, sizeof(*desc));
    desc->dwSize = sizeof(*desc);
}

} // namespace

bool HostD3DDeviceKindFromId(REFGUID id, HostD3DDeviceKind* kind) {
    for (const CatalogueEntry& entry : g_catalogue) {
        if (IsEqualGUID(id, *entry.id)) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

GUID* HostD3DDeviceId(HostD3DDeviceKind kind) {
    // Listings hand out GUID* as the platform does; nobody writes through it.
    return const_cast<GUID*>(Entry(kind).id);
}

bool HostD3DMachineOffers(HostD3DDeviceKind kind) {
    const HostMachine& machine = HostGetMachine();
    return kind == HostD3DDeviceKind::Hardware ? machine.hardware3D : machine.software3D;
}

int HostD3DOfferedDevices(HostD3DDeviceKind kinds[3]) {
    int count = 0;
    for (const CatalogueEntry& entry : g_catalogue)
        if (HostD3DMachineOffers(entry.kind)) kinds[count++] = entry.kind;
    return count;
}

void HostD3DDescribeDevice(HostD3DDeviceKind kind, D3DDEVICEDESC* hardware, D3DDEVICEDESC* software) {
    ClearDescription(hardware);
    ClearDescription(software);
    switch (kind) {
    case HostD3DDeviceKind::Hardware:
        DescribeRasterizer(hardware, D3DCOLOR_RGB, D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR);
        break;
    case HostD3DDeviceKind::SoftwareRGB:
        DescribeRasterizer(software, D3DCOLOR_RGB, D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR);
        break;
    case HostD3DDeviceKind::SoftwareMono:
        DescribeRasterizer(software, D3DCOLOR_MONO, D3DPTFILTERCAPS_NEAREST);
        break;
    }
}

char* HostD3DDeviceDescription(HostD3DDeviceKind kind) {
    return Entry(kind).description;
}

char* HostD3DDeviceName(HostD3DDeviceKind kind) {
    return Entry(kind).name;
}
