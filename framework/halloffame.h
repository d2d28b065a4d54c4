// HallOfFame: a game's table of best scores, highest first, kept in the file "hiscore.dat" in the
// game's folder. The file is a little-endian 32-bit count that must equal the table size (20), then
// one record per entry: a 256-byte zero-terminated name and a 32-bit score (5,204 bytes for 20).
#pragma once

#include <cstdint>

constexpr int kHallOfFameNameBytes = 256;
// The table size both programs use.
constexpr int kHallOfFameEntries = 20;
// Bytes of one stored entry and of the count before them.
constexpr int kHallOfFameRecordBytes = kHallOfFameNameBytes + 4;
constexpr int kHallOfFameCountBytes = 4;

struct HallOfFameEntry {
    char name[kHallOfFameNameBytes];
    int32_t score;
};

class HallOfFame {
  public:
    HallOfFame() = default;
    ~HallOfFame() { Free(); }
    HallOfFame(const HallOfFame&) = delete;
    HallOfFame& operator=(const HallOfFame&) = delete;

    // A fresh table of n entries (empty names, score 0).
    void Allocate(int n);
    void Free();
    // Enters name with score below every entry scoring at least as much; the last entry falls out.
    // 1 when the score entered the table, 0 when it is not higher than the last entry's. The name is
    // cut to 255 characters.
    int Insert(const char* name, int score);
    // The score of entry 0 (0 for an empty table).
    int GetTopScore() const;
    // The entries, highest score first (GetCount of them), NULL before Allocate.
    HallOfFameEntry* GetEntries() const { return m_pEntries; }
    // The score of entry 0 again, as the score upload reads it.
    int GetBestScore() const { return GetTopScore(); }
    int GetCount() const { return m_nCount; }

    // Reads the table from path. 0, with the table unchanged, when the file is missing, its count is
    // not the table size or it is shorter than the table.
    int Read(const char* path);
    // Writes the table to path; the old file is replaced only once the new one is complete. 0 when
    // the file cannot be written whole.
    int Write(const char* path) const;

    HallOfFameEntry* m_pEntries = nullptr;
    int m_nCount = 0;
};
