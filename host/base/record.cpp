#include "host/base/record.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

void HostRecord(const char* format, ...) {
    const char* path = std::getenv("HOST_RECORD");
    if (!path || !*path) return;
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    FILE* file = std::fopen(path, "ab");
    if (!file) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fputc('\n', file);
    std::fclose(file);
}
