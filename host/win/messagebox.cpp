// Message boxes: recorded when headless (a test must never wait for a click), shown by the backend
// otherwise, and always echoed to standard error so a box on a machine without a screen is not lost.
#include "host/win/messagebox.h"

#include <cstdio>
#include <string>

#include "host/backend/backend.h"
#include "host/base/record.h"

namespace {

// One record line per box: line ends in the text are written as "\n".
std::string OneLine(const char* text) {
    std::string line;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n')
            line += "\\n";
        else if (*c != '\r')
            line += *c;
    }
    return line;
}

int DefaultAnswer(UINT type) {
    return (type & 0x0F) == MB_YESNO ? IDYES : IDOK;
}

} // namespace

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    const char* title = caption ? caption : "Error";
    if (!text) text = "";
    if (HostIsHeadless()) {
        HostRecord("message %s: %s", title, OneLine(text).c_str());
        return DefaultAnswer(type);
    }
    std::fprintf(stderr, "%s: %s\n", title, text);
    const HostBackend& backend = HostGetBackend();
    if (backend.messageBox && !backend.messageBox(title, text, type)) return 0;
    return DefaultAnswer(type);
}
