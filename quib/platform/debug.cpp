#include "quib/platform/debug.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "quib/quib.h"

std::atomic<int> g_bDebug{0};

namespace {

const char kLogName[] = "debug.log";

// Guards the file and the created mark: errors may be reported from the input timer thread too.
std::mutex s_logMutex;
// True once debug.log has been opened (and so emptied) in this process; later lines append.
bool s_logCreated = false;

} // namespace

void DebugPrintf(const char* format, ...) {
    if (!g_bDebug) return;
    std::lock_guard<std::mutex> lock(s_logMutex);
    FILE* file = std::fopen(kLogName, s_logCreated ? "ab+" : "wb+");
    if (!file) return;
    s_logCreated = true;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fclose(file);
}

void DebugLogForgetCreatedForTests() {
    std::lock_guard<std::mutex> lock(s_logMutex);
    s_logCreated = false;
}

void QuibDebugEnable(int on) {
    g_bDebug = on;
}
