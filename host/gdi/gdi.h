// Device contexts, fonts and text, DIB sections, bitmap files and blits: everything the programs call
// of the platform's graphics device interface.
#pragma once

#include "host/gdi/bitmap.h"
#include "host/gdi/blit.h"
#include "host/gdi/dc.h"
#include "host/gdi/text.h"
