#include "framework/display_check.h"

#include "host/ddraw/ddraw.h"
#include "host/gdi/dc.h"
#include "host/win/messagebox.h"

namespace {

// True when the display driver offers the version-7 interface; the probe objects are released.
bool HasDirectDraw7(bool& created) {
    IDirectDraw* probe = nullptr;
    created = SUCCEEDED(DirectDrawCreate(nullptr, &probe, nullptr)) && probe;
    if (!created) return false;
    void* probe7 = nullptr;
    const bool hasVersion7 = SUCCEEDED(probe->QueryInterface(IID_IDirectDraw7, &probe7)) && probe7;
    if (probe7) static_cast<IUnknown*>(probe7)->Release();
    probe->Release();
    return hasVersion7;
}

} // namespace

bool DisplayIsSuitable(const char* highColourMessage) {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (bits != 15 && bits != 16) {
        MessageBoxA(nullptr, highColourMessage, nullptr, MB_ICONERROR);
        return false;
    }
    bool created = false;
    if (!HasDirectDraw7(created)) {
        MessageBoxA(nullptr,
                    created ? "DirectX Version 7.0a or greater not installed"
                            : "DirectX not installed. Program needs DirectX 7.0a or higher to run",
                    nullptr, MB_ICONERROR);
        return false;
    }
    return true;
}
