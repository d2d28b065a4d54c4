#include "framework/message_log.h"

#include <cstdarg>
#include <cstdio>

int g_logEnabled = 0;

namespace {
bool g_logStarted = false; // main thread only: the first message truncates the file
}

void LogMessage(const char* format, ...) {
    if (!g_logEnabled || !format) return;
    std::FILE* file = std::fopen("debug.log", g_logStarted ? "ab" : "wb+");
    if (!file) return;
    g_logStarted = true;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fclose(file);
}

void LogMessageForgetStartedForTests() {
    g_logStarted = false;
}
