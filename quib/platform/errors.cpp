#include "quib/platform/errors.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "quib/platform/debug.h"
#include "quib/quib.h"

char g_ErrorText[kErrorTextSize];
std::atomic<int> g_bError{0};

namespace {

constexpr int kFormattedErrorSize = 256;
constexpr int kReportSize = 1024;

// Guards g_ErrorText while it is written; a report may come from the input timer thread.
std::mutex s_errorMutex;

// Registers "<prefix><name>\nin file <file> at line <line>", cut to the report buffer.
void Report(const char* prefix, const char* name, const char* file, int line) {
    char message[kReportSize];
    std::snprintf(message, sizeof(message), "%s%s\nin file %s at line %d", prefix, name, file ? file : "",
                  line);
    RegError(message);
}

} // namespace

void RegError(const char* text) {
    if (!text) text = "";
    char logged[kErrorTextSize];
    {
        std::lock_guard<std::mutex> lock(s_errorMutex);
        // Cut the text, not the newline, when it is too long.
        std::snprintf(g_ErrorText, sizeof(g_ErrorText), "%.*s\n", kErrorTextSize - 2, text);
        std::snprintf(logged, sizeof(logged), "%s", g_ErrorText);
    }
    g_bError = 1;
    DebugPrintf("%s", logged);
}

void RegErrorf(const char* format, ...) {
    char text[kFormattedErrorSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    RegError(text);
}

void ReportDDError(HRESULT hr, const char* file, int line) {
    Report("DirectDraw Error ", DDErrorName(hr), file, line);
}

void ReportDSError(HRESULT hr, const char* file, int line) {
    Report("DirectSound Error ", DSErrorName(hr), file, line);
}

void ReportD3DError(HRESULT hr, const char* file, int line) {
    Report("Direct3D Error ", D3DErrorName(hr), file, line);
}

void ReportD3DRMError(HRESULT hr, const char* file, int line) {
    Report("Direct3D-RM Error : ", D3DRMErrorName(hr), file, line);
}

void QuibRegError(const char* text) {
    RegError(text);
}
