// Listing the display drivers that can carry 3D, and choosing one for the next start-up.
#include <cstring>

#include "host/win/system.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/interfacelog.h"
#include "quib/quib.h"

namespace {

// The engine's copy of the last listing.
struct D3DDeviceTable {
    int count;
    D3D_DEVICE_ENTRY device[MAX_D3D_DEVICES];
};
D3DDeviceTable g_D3DDevices = {};

// Copies a driver name as at most 79 characters and a terminator.
void CopyName(char (&destination)[kD3DDeviceNameSize], const char* source) {
    std::memset(destination, 0, sizeof destination);
    if (source) std::strncpy(destination, source, sizeof destination - 1);
}

// The driver's total video memory through its second interface. 0 with the error reported on failure.
int ReadVideoMemory(IDirectDraw* lpDD, DWORD* total) {
    IDirectDraw2* lpDD2 = nullptr;
    HRESULT hr = lpDD->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&lpDD2));
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    DDSCAPS caps = {};
    DWORD freeMemory = 0;
    hr = lpDD2->GetAvailableVidMem(&caps, total, &freeMemory);
    lpDD2->Release();
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    return 1;
}

// Reads what the listing needs from a driver's temporary object into entry; *has3D tells whether a
// secondary driver reports 3D (the primary display is always listed). 0 with the error reported.
int DescribeDriver(IDirectDraw* lpDD, bool primary, D3D_DEVICE_ENTRY* entry, bool* has3D) {
    *has3D = primary;
    if (!primary) {
        // Into locals: the engine's own caps stay those of the driver it started on.
        DDCAPS hal = {}, hel = {};
        hal.dwSize = sizeof(hal);
        hel.dwSize = sizeof(hel);
        HRESULT hr = lpDD->GetCaps(&hal, &hel);
        if (FAILED(hr)) {
            REPORT_DD_ERROR(hr);
            return 0;
        }
        *has3D = (hal.dwCaps & DDCAPS_3D) != 0;
    }
    // The engine's mode table is refilled with this driver's modes (QuibCheckDisplayMode then answers for
    // the last driver listed).
    g_dwNumModes = 0;
    HRESULT hr = lpDD->EnumDisplayModes(0, nullptr, nullptr, DDEnumDisplayModesCallback);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    entry->supports512x384x16 = QuibCheckDisplayMode(512, 384, 16);
    DWORD total = 0;
    if (!ReadVideoMemory(lpDD, &total)) return 0;
    // The primary display also counts the desktop's own memory, as if it were 16-bit.
    if (primary) total += DWORD(GetSystemMetrics(SM_CXSCREEN)) * DWORD(GetSystemMetrics(SM_CYSCREEN)) * 2;
    entry->videoMemory = total;
    return 1;
}

// Enumeration callback, context = the engine's table: lists the primary display and every secondary
// driver with 3D. Stops (0) on a failure and when the table is full.
BOOL DDGetD3DDevices(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context) {
    (void)description;
    D3DDeviceTable* table = static_cast<D3DDeviceTable*>(context);
    if (table->count >= MAX_D3D_DEVICES) return 0;
    IDirectDraw* lpDD = nullptr;
    HRESULT hr = DirectDrawCreate(guid, &lpDD, nullptr);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    D3D_DEVICE_ENTRY entry = {};
    bool listed = false;
    const int described = DescribeDriver(lpDD, guid == nullptr, &entry, &listed);
    // The temporary object goes back on every path.
    ReleaseInterface(lpDD, "DDGetD3DDevices(): lpDD");
    if (!described) return 0;
    if (!listed) return 1;
    CopyName(entry.name, driverName);
    entry.guid = guid;
    table->device[table->count++] = entry;
    if (table->count == MAX_D3D_DEVICES) {
        RegError("DDGetD3DDevices::exceeded MAX_D3D_DEVICES");
        return 0;
    }
    return 1;
}

} // namespace

int QuibGetD3DDevices(D3D_INFO* info) {
    g_D3DDevices.count = 0;
    HRESULT hr = DirectDrawEnumerateA(DDGetD3DDevices, &g_D3DDevices);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    if (!info) return 0;
    info->count = g_D3DDevices.count;
    for (int i = 0; i < g_D3DDevices.count; ++i) {
        CopyName(info->device[i].name, g_D3DDevices.device[i].name);
        info->device[i].guid = g_D3DDevices.device[i].guid;
        info->device[i].supports512x384x16 = g_D3DDevices.device[i].supports512x384x16;
        info->device[i].videoMemory = g_D3DDevices.device[i].videoMemory;
    }
    return 1;
}

int QuibSelectD3DDevice(int index) {
    if (index < 0 || index >= g_D3DDevices.count) {
        RegError("invalid D3DDevice index");
        return 0;
    }
    const D3D_DEVICE_ENTRY& entry = g_D3DDevices.device[index];
    g_lpChosenDDGuid = entry.guid;
    // Names are stored terminated within 80 characters; the test guards the copy all the same.
    if (strnlen(entry.name, sizeof entry.name) >= size_t(kChosenDDNameSize)) {
        RegError("QuibSelectD3DDevice : bad name copy");
        return 0;
    }
    std::memcpy(g_ChosenDDName, entry.name, sizeof g_ChosenDDName);
    return 1;
}

int QuibSelectD3DGUID(void* guid) {
    g_lpChosenDDGuid = static_cast<GUID*>(guid);
    g_ChosenDDName[0] = '\0';
    return 1;
}
