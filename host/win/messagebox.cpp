// Message boxes: the backend shows them (and echoes them to standard error, so a box on a machine without
// a screen is not lost) or records them.
#include "host/win/messagebox.h"

#include "host/backend/backend.h"

namespace {

HostMessageKind Kind(UINT type) {
    UINT icon = type & 0xF0;
    return icon == MB_ICONERROR     ? HostMessageKind::Error
           : icon == MB_ICONWARNING ? HostMessageKind::Warning
                                    : HostMessageKind::Information;
}

int DefaultAnswer(UINT type) {
    return (type & 0x0F) == MB_YESNO ? IDYES : IDOK;
}

} // namespace

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    const char* title = caption ? caption : "Error";
    if (!text) text = "";
    const HostBackend& backend = HostChosenBackend();
    if (backend.messageBox && !backend.messageBox(title, text, Kind(type))) return 0;
    return DefaultAnswer(type);
}
