#include "framework/halloffame.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/win/paths.h"

namespace {

void PutLe32(unsigned char* at, int32_t value) {
    uint32_t bits = uint32_t(value);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(bits >> (8 * i));
}

int32_t GetLe32(const unsigned char* at) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= uint32_t(at[i]) << (8 * i);
    return int32_t(bits);
}

// The whole file image of a table.
std::vector<unsigned char> Encode(const HallOfFameEntry* entries, int count) {
    std::vector<unsigned char> bytes(size_t(kHallOfFameCountBytes) + size_t(count) * kHallOfFameRecordBytes);
    PutLe32(bytes.data(), count);
    unsigned char* at = bytes.data() + kHallOfFameCountBytes;
    for (int i = 0; i < count; ++i, at += kHallOfFameRecordBytes) {
        std::memcpy(at, entries[i].name, kHallOfFameNameBytes);
        PutLe32(at + kHallOfFameNameBytes, entries[i].score);
    }
    return bytes;
}

struct FileCloser {
    void operator()(FILE* file) const {
        if (file) std::fclose(file);
    }
};
using File = std::unique_ptr<FILE, FileCloser>;

} // namespace

void HallOfFame::Allocate(int n) {
    Free();
    if (n <= 0) return;
    m_pEntries = new HallOfFameEntry[size_t(n)]();
    m_nCount = n;
}

void HallOfFame::Free() {
    delete[] m_pEntries;
    m_pEntries = nullptr;
    m_nCount = 0;
}

int HallOfFame::Insert(const char* name, int score) {
    int at = 0;
    while (at < m_nCount && m_pEntries[at].score >= score)
        ++at;
    if (at >= m_nCount) return 0;
    for (int n = m_nCount - 1; n > at; --n)
        m_pEntries[n] = m_pEntries[n - 1];
    HallOfFameEntry& entry = m_pEntries[at];
    std::memset(entry.name, 0, sizeof entry.name);
    if (name) std::strncpy(entry.name, name, sizeof entry.name - 1);
    entry.score = score;
    return 1;
}

int HallOfFame::GetTopScore() const {
    return m_nCount > 0 ? m_pEntries[0].score : 0;
}

int HallOfFame::Read(const char* path) {
    if (!path) return 0;
    File file(HostOpenFile(path, "rb"));
    if (!file) return 0;
    unsigned char countBytes[kHallOfFameCountBytes];
    if (std::fread(countBytes, 1, sizeof countBytes, file.get()) != sizeof countBytes) return 0;
    if (GetLe32(countBytes) != m_nCount) return 0;
    // Read whole into a new table first: a short file leaves the old table as it was.
    std::vector<unsigned char> records(size_t(m_nCount) * kHallOfFameRecordBytes);
    if (std::fread(records.data(), 1, records.size(), file.get()) != records.size()) return 0;
    const unsigned char* at = records.data();
    for (int i = 0; i < m_nCount; ++i, at += kHallOfFameRecordBytes) {
        std::memcpy(m_pEntries[i].name, at, kHallOfFameNameBytes);
        m_pEntries[i].name[kHallOfFameNameBytes - 1] = '\0';
        m_pEntries[i].score = GetLe32(at + kHallOfFameNameBytes);
    }
    return 1;
}

int HallOfFame::Write(const char* path) const {
    std::string target;
    if (!path || !HostResolvePath(path, target, true)) return 0;
    std::vector<unsigned char> bytes = Encode(m_pEntries, m_nCount);
    // The new table goes to a file beside the old one, which it replaces only when written whole, so
    // a failure or crash mid-write keeps the old scores.
    std::string fresh = target + ".new";
    FILE* file = std::fopen(fresh.c_str(), "wb+");
    if (!file) return 0;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(fresh.c_str(), target.c_str()) != 0) {
        std::remove(fresh.c_str());
        return 0;
    }
    return 1;
}
