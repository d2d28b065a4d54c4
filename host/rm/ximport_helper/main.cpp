// quib-ximport: the ".x" reader's helper program. Reads the ".x" file on its descriptor 3 with the
// Assimp importer and writes what it holds to its standard output as one message (HostRMXSendFlat)
// for the host library that started it (HostRMXReadWithHelper). Assimp crashes, loops or exhausts
// memory on some broken files; here that ends only this process, which the library takes as a refused
// file. Exit status: 0 message written, 1 file refused, 2 message not written, 3 no file to read.
#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "host/rm/x_import_flat.h"
#include "host/rm/ximport_helper/x_import_assimp.h"

namespace {

constexpr int kInputFd = 3;
constexpr int kExitRefused = 1;
constexpr int kExitWriteFailed = 2;
constexpr int kExitNoInput = 3;
// CPU seconds at most: a helper whose reader loops ends even when nobody waits for it any more.
constexpr rlim_t kCpuSeconds = 120;
// The heap made ready before the import: about what a text file's import takes per byte, from files of
// a mebibyte on, at most a quarter gibibyte, in blocks below the size glibc would map on their own.
constexpr size_t kHeapPerFileByte = 10;
constexpr size_t kHeapFromFileBytes = 1u << 20;
constexpr size_t kHeapMostBytes = 256u << 20;
constexpr size_t kHeapGrowBytes = 1u << 20;
constexpr int kDefaultTopPad = 128 << 10;        // glibc's M_TOP_PAD
constexpr int kLargestHeapAllocation = 32 << 20; // glibc's ceiling for M_MMAP_THRESHOLD

// The memory the importer may take for a file of size bytes: its own working set, and per byte of the
// file what its densest forms become (each face corner its own vertex, in the importer's structures and
// in the arrays), with room for the sanitizers' overhead in their builds.
size_t MemoryFor(size_t size) {
    return 256u * 1024 * 1024 + 32 * size;
}

// The data mappings of this process in bytes (/proc/self/statm's sixth field); 0 when unknown.
unsigned long long DataBytes() {
    FILE* statm = std::fopen("/proc/self/statm", "re");
    if (!statm) return 0;
    unsigned long long size, resident, shared, code, library, data;
    int got = std::fscanf(statm, "%llu %llu %llu %llu %llu %llu", &size, &resident, &shared, &code, &library,
                          &data);
    std::fclose(statm);
    if (got != 6) return 0;
    return data * static_cast<unsigned long long>(::sysconf(_SC_PAGESIZE));
}

// Caps the writable private mappings (heap, anonymous maps) at what this process has plus extra bytes.
// An address-space cap (RLIMIT_AS) would not do: the address sanitizer reserves its shadow and its whole
// heap at start, so no absolute cap fits and a relative one would not see the heap grow; the data cap
// counts the pages as they become writable, with or without it.
void CapMemory(size_t extra) {
    unsigned long long used = DataBytes();
    rlimit limit;
    if (used == 0 || ::getrlimit(RLIMIT_DATA, &limit) != 0) return;
    rlim_t wanted = used + extra;
    if (limit.rlim_max != RLIM_INFINITY && wanted > limit.rlim_max) wanted = limit.rlim_max;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= wanted) return; // already as tight
    limit.rlim_cur = wanted;
    ::setrlimit(RLIMIT_DATA, &limit);
}

// Makes this a process that may die alone and quietly, and that does not outlive its starter for long.
void PrepareProcess() {
    // Only 0 to 3 were handed over; anything else an older starter let through is not ours.
    ::close_range(kInputFd + 1, ~0u, 0);
    // A starter that stops reading makes the writes fail (EPIPE) instead of killing this halfway.
    std::signal(SIGPIPE, SIG_IGN);
    rlimit noCore = {0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    rlimit cpu = {kCpuSeconds, kCpuSeconds + 5};
    ::setrlimit(RLIMIT_CPU, &cpu);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
}

// The input file mapped whole (size bytes at data); false when it cannot be, or is larger than a ".x"
// file may be. An empty file gives size 0.
bool MapInput(const char*& data, size_t& size) {
    struct stat about;
    if (::fstat(kInputFd, &about) != 0 || about.st_size < 0 || size_t(about.st_size) > kHostRMXFileMaxBytes)
        return false;
    size = size_t(about.st_size);
    data = "";
    if (size == 0) return true;
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, kInputFd, 0);
    if (mapped == MAP_FAILED) return false;
    data = static_cast<const char*>(mapped);
    return true;
}

// Readies the heap for an import of a file of size bytes. A new process pays a page fault for every
// page its heap first touches, a large part of a large file's import (more on virtual machines), which
// a program that had imported before would not: the heap is grown once, its pages are made at once (one
// call, no faults), large arrays are kept in the heap and freed memory stays in it, so the importer's
// allocations land on pages already there. The pages are asked for as huge pages where the system has
// them: the importer walks its many small blocks all over the heap, and with small pages about half its
// time goes on address translation misses. Does nothing where the heap is not the program break (the
// sanitizers' allocator) or the system cannot populate memory ahead.
void PrepareHeap(size_t size) {
    if (size < kHeapFromFileBytes) return;
    ::mallopt(M_MMAP_THRESHOLD, kLargestHeapAllocation);
    ::mallopt(M_TRIM_THRESHOLD, INT_MAX);
    size_t wanted = std::min(kHeapPerFileByte * size, kHeapMostBytes);
    // A block larger than the young heap's free top grows it, by wanted bytes more than asked; they
    // stay as its free top.
    ::mallopt(M_TOP_PAD, int(wanted));
    void* first = std::malloc(kHeapGrowBytes);
    ::mallopt(M_TOP_PAD, kDefaultTopPad);
    auto page = uintptr_t(::sysconf(_SC_PAGESIZE));
    auto from = (uintptr_t(first) + kHeapGrowBytes + page) & ~(page - 1);
    auto to = uintptr_t(::sbrk(0)) & ~(page - 1);
    if (first && to > from && to - from >= wanted / 2) {
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE); // a hint: may be refused
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
    }
    std::free(first);
}

int Run() {
    const char* file = nullptr;
    size_t size = 0;
    if (!MapInput(file, size)) return kExitNoInput;
    CapMemory(MemoryFor(size));
    PrepareHeap(size);
    HostRMXFlat flat;
    if (!HostRMXReadWithAssimp(file, size, flat)) return kExitRefused;
    return HostRMXSendFlat(STDOUT_FILENO, flat) ? 0 : kExitWriteFailed;
}

} // namespace

int main() {
    PrepareProcess();
    int status = kExitRefused;
    try {
        status = Run();
    } catch (...) {
        status = kExitRefused; // out of memory under the cap, or the importer's own exceptions
    }
    // At once: nothing of the importer's left-overs is freed or checked for leaks on the way out.
    ::_exit(status);
}
