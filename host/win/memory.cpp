#include "host/win/memory.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace {

struct Block {
    void* memory;
    int locks;
};

// Live blocks by handle; never destroyed, so late frees at exit stay safe.
struct BlockTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, Block> blocks;
    uintptr_t next = 0x10000;
};

BlockTable& Blocks() {
    static BlockTable* table = new BlockTable;
    return *table;
}

} // namespace

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
    void* memory = std::calloc(bytes ? bytes : 1, 1);
    if (!memory) return nullptr;
    BlockTable& table = Blocks();
    std::lock_guard<std::mutex> guard(table.lock);
    uintptr_t handle = table.next;
    table.next += 8;
    table.blocks.emplace(handle, Block{memory, 0});
    return reinterpret_cast<HGLOBAL>(handle);
}

LPVOID GlobalLock(HGLOBAL block) {
    BlockTable& table = Blocks();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.blocks.find(reinterpret_cast<uintptr_t>(block));
    if (it == table.blocks.end()) return nullptr;
    ++it->second.locks;
    return it->second.memory;
}

BOOL GlobalUnlock(HGLOBAL block) {
    BlockTable& table = Blocks();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.blocks.find(reinterpret_cast<uintptr_t>(block));
    if (it == table.blocks.end() || it->second.locks == 0) return FALSE;
    return --it->second.locks > 0;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    void* memory = nullptr;
    {
        BlockTable& table = Blocks();
        std::lock_guard<std::mutex> guard(table.lock);
        auto it = table.blocks.find(reinterpret_cast<uintptr_t>(block));
        if (it == table.blocks.end()) return block;
        memory = it->second.memory;
        table.blocks.erase(it);
    }
    std::free(memory);
    return nullptr;
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    int64_t product = int64_t(number) * int64_t(numerator);
    int64_t quotient = product / denominator;
    int64_t remainder = product % denominator;
    // Round half away from zero.
    if (2 * (remainder < 0 ? -remainder : remainder) >=
        (denominator < 0 ? -int64_t(denominator) : denominator))
        quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
    if (quotient > INT32_MAX || quotient < INT32_MIN) return -1;
    return int(quotient);
}
