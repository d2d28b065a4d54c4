// Text on the pictures the window layer draws itself (the file chooser): written with the fonts and device
// contexts of host/gdi, which stands above this layer and hands these calls down when the library loads,
// so that the window layer never includes it. Until it does, nothing is written and text measures 0.
#pragma once

#include <cstdint>

#include "host/base/types.h"

struct HostPictureTextCalls {
    // A font of the proportional sans face, height pixels high, bold or normal; NULL when none is made.
    HFONT (*createFont)(int height, bool bold);
    void (*deleteFont)(HFONT font);
    // A writer over width x height 5-6-5 pixels (rows packed, no gaps) that leaves the background of its
    // text alone; NULL when it cannot be made. The pixels must outlive it.
    HDC (*openPicture)(uint16_t* pixels, int width, int height);
    void (*closePicture)(HDC writer);
    // The width in pixels of length characters of text in font.
    int (*width)(HDC writer, HFONT font, const char* text, int length);
    // Writes length characters of text in font and colour, the top left of the first at (x, y).
    void (*write)(HDC writer, HFONT font, int x, int y, const char* text, int length, COLORREF colour);
};

// Registers the device-context layer's calls (each must be set).
void HostSetPictureTextCalls(const HostPictureTextCalls& calls);
// The registered calls, or ones that do nothing before registration.
const HostPictureTextCalls& HostPictureText();
