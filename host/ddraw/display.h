// The one display of the machine, shared by every DirectDraw object: the desktop picture, the current
// display mode and which object holds exclusive mode, the registry of live surfaces (for lost
// surfaces and counts), video memory in use, and the hand-over of presented pictures to the backend.
#pragma once

#include <memory>
#include <vector>

#include "host/ddraw/ddraw.h"
#include "host/ddraw/pixel_format.h"
#include "host/ddraw/pixel_store.h"

namespace host_ddraw {

class Surface;
struct DriverState;

// The machine's display modes in its order (a 15-bit mode is reported as 16-bit 5-5-5).
std::vector<DisplayMode> MachineModes();
// The machine's mode of that size and depth; 15 and 16 bits find each other.
bool FindMachineMode(int width, int height, int bits, DisplayMode& mode);
// The desktop's mode, from the machine.
DisplayMode DesktopMode();
// The mode the display shows now: the one set by the exclusive owner, else the desktop's.
DisplayMode CurrentMode();
// Changes whenever the display mode (or the machine's desktop) changes.
unsigned ModeGeneration();
// The desktop's picture, which windowed primaries share; made anew (and primaries lost) when the
// machine's desktop changed. nullptr when it cannot be allocated.
std::shared_ptr<PixelStore> DesktopStore();

// Exclusive mode: false when another object holds it.
bool ClaimExclusive(DriverState* owner);
// Gives up exclusive mode (if owner holds it), restoring the desktop mode first.
void ReleaseExclusive(DriverState* owner);
// Sets the display mode on behalf of the exclusive owner; primary and video-memory surfaces are lost.
void ChangeMode(DriverState* owner, const DisplayMode& mode);
// Back to the desktop mode when owner changed it; true when it did.
bool RestoreMode(DriverState* owner);

void RegisterSurface(Surface* surface);
void UnregisterSurface(Surface* surface);
void MarkAllSurfacesLost();
// The failure Restore of a lost surface gives while a test asks for one (DD_OK: Restore works).
HRESULT RestoreFailure();

// Video memory of the machine: surfaces in video memory take from the free amount.
bool ReserveVideoMemory(size_t bytes);
void ReturnVideoMemory(size_t bytes);
DWORD TotalVideoMemory();
DWORD FreeVideoMemory();

// Hands a picture of the given format to the backend (converted to 16 bits when it is not).
// palette is used for 8-bit pictures (NULL: a grey ramp).
void PresentStore(const PixelStore& store, const DDPIXELFORMAT& format, const PALETTEENTRY* palette,
                  bool fullscreen);

// Live object counts for the tests.
enum ObjectKind { kDirectDrawKind, kSurfaceKind, kPaletteKind, kClipperKind };
void CountLive(ObjectKind kind, int delta);

} // namespace host_ddraw
