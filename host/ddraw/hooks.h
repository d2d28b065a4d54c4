// The hooks of host/ddraw/extension.h as the driver reads them.
#pragma once

#include "host/ddraw/extension.h"

namespace host_ddraw {

HostDDrawDriverQueryHook DriverQueryHook();
HostDDrawSurfaceQueryHook SurfaceQueryHook();
HostDDrawSurfaceGoneHook SurfaceGoneHook();

} // namespace host_ddraw
