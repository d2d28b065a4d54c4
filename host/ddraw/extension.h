// How the 3D area extends the display driver's objects. Interfaces this area does not implement (the
// Direct3D object asked of a DirectDraw object; the 3D device and texture asked of a surface) are
// answered by hooks that the 3D area installs. A hook stores an interface with a reference added and
// returns S_OK, or returns E_NOINTERFACE to refuse.
#pragma once

#include "host/ddraw/ddraw.h"

typedef HRESULT (*HostDDrawDriverQueryHook)(IDirectDraw* directDraw, REFIID iid, void** out);
typedef HRESULT (*HostDDrawSurfaceQueryHook)(IDirectDrawSurface* surface, REFIID iid, void** out);
// Called while a surface is being destroyed, so that whatever was kept for it can be dropped. The
// surface must not be used (nor referenced) any more.
typedef void (*HostDDrawSurfaceGoneHook)(IDirectDrawSurface* surface);

// Each replaces the previous hook (nullptr removes it) and returns the one it replaced, so that a
// test can put it back.
HostDDrawDriverQueryHook HostDDrawSetDriverQueryHook(HostDDrawDriverQueryHook hook);
HostDDrawSurfaceQueryHook HostDDrawSetSurfaceQueryHook(HostDDrawSurfaceQueryHook hook);
HostDDrawSurfaceGoneHook HostDDrawSetSurfaceGoneHook(HostDDrawSurfaceGoneHook hook);
