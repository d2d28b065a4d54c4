// The display drivers of the machine: the primary display and the secondary displays tests add.
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "host/backend/machine.h"
#include "host/ddraw/driver.h"
#include "host/ddraw/testing.h"

namespace host_ddraw {
namespace {

struct SecondaryDisplay {
    std::string description;
    std::string driverName;
    bool has3D;
};

std::mutex g_secondaryMutex;
std::vector<SecondaryDisplay> g_secondary;

// One identifier per secondary display slot. Callers keep these pointers and compare them by address,
// so they are objects that never move.
const GUID kSecondaryGuids[kHostMaxSecondaryDisplays] = {
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 1}},
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 2}},
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 3}},
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 4}},
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 5}},
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 6}},
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 7}},
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 8}},
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 9}},
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 10}},
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 11}},
    {0x51B0D100, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 12}},
};

std::vector<SecondaryDisplay> SecondaryDisplays() {
    std::lock_guard<std::mutex> guard(g_secondaryMutex);
    return g_secondary;
}

// The secondary display named by guid (by address or value): its index, or -1.
int FindSecondary(const GUID* guid, const std::vector<SecondaryDisplay>& displays) {
    for (size_t i = 0; i < displays.size(); ++i)
        if (guid == &kSecondaryGuids[i] || IsEqualGUID(*guid, kSecondaryGuids[i])) return int(i);
    return -1;
}

// Hands the callback writable copies of the texts, as it expects.
BOOL Offer(LPDDENUMCALLBACKA callback, const GUID* guid, const std::string& description,
           const std::string& driverName, LPVOID context) {
    char descriptionCopy[128];
    char nameCopy[64];
    std::snprintf(descriptionCopy, sizeof descriptionCopy, "%s", description.c_str());
    std::snprintf(nameCopy, sizeof nameCopy, "%s", driverName.c_str());
    return callback(const_cast<GUID*>(guid), descriptionCopy, nameCopy, context);
}

} // namespace
} // namespace host_ddraw

HRESULT DirectDrawCreate(GUID* guid, LPDIRECTDRAW* directDraw, IUnknown* outer) {
    using namespace host_ddraw;
    if (!directDraw) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    int display = 0;
    bool has3D = HostGetMachine().hardware3D;
    if (guid) {
        std::vector<SecondaryDisplay> displays = SecondaryDisplays();
        int index = FindSecondary(guid, displays);
        if (index < 0) return DDERR_INVALIDDIRECTDRAWGUID;
        display = index + 1;
        has3D = displays[size_t(index)].has3D;
    }
    *directDraw = new DirectDrawObject(display, has3D);
    return DD_OK;
}

HRESULT DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context) {
    using namespace host_ddraw;
    if (!callback) return DDERR_INVALIDPARAMS;
    if (!Offer(callback, nullptr, "Primary Display Driver", "display", context)) return DD_OK;
    std::vector<SecondaryDisplay> displays = SecondaryDisplays();
    for (size_t i = 0; i < displays.size(); ++i)
        if (!Offer(callback, &kSecondaryGuids[i], displays[i].description, displays[i].driverName, context))
            break;
    return DD_OK;
}

void HostDDrawSetSecondaryDisplays(const HostSecondaryDisplay* displays, int count) {
    using namespace host_ddraw;
    std::vector<SecondaryDisplay> list;
    for (int i = 0; displays && i < count && i < kHostMaxSecondaryDisplays; ++i)
        list.push_back({displays[i].description ? displays[i].description : "",
                        displays[i].driverName ? displays[i].driverName : "", displays[i].has3D});
    std::lock_guard<std::mutex> guard(g_secondaryMutex);
    g_secondary = std::move(list);
}
