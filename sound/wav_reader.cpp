// Reading PCM WAV (RIFF) files: the "RIFF"/"WAVE" header, the "fmt " chunk, an optional "smpl" loop and
// the "data" chunk. Files are untrusted: every chunk walk stays inside the file and every read is
// checked, so a malformed file is refused and never read past.
#include <algorithm>

#include "host/win/files.h"
#include "sound/sound_internal.h"

namespace {

constexpr DWORD kRiff = SndFourCC('R', 'I', 'F', 'F');
constexpr DWORD kWave = SndFourCC('W', 'A', 'V', 'E');
constexpr DWORD kFormat = SndFourCC('f', 'm', 't', ' ');
constexpr DWORD kSampler = SndFourCC('s', 'm', 'p', 'l');
constexpr DWORD kData = SndFourCC('d', 'a', 't', 'a');
constexpr DWORD kFirstChunk = 12;  // after "RIFF", its size and "WAVE"
constexpr DWORD kFormatBytes = 20; // the fields read from "fmt "
constexpr DWORD kFormatMinimum = 16;
constexpr DWORD kSamplerHeaderBytes = 36;
constexpr DWORD kSamplerLoopBytes = 24;

WORD Le16(const BYTE* at) {
    return WORD(at[0] | (at[1] << 8));
}

DWORD Le32(const BYTE* at) {
    return DWORD(at[0]) | (DWORD(at[1]) << 8) | (DWORD(at[2]) << 16) | (DWORD(at[3]) << 24);
}

// Reads exactly bytes bytes; false on a short read.
bool ReadExactly(HANDLE file, BYTE* into, DWORD bytes) {
    DWORD got = 0;
    return ReadFile(file, into, bytes, &got, nullptr) && got == bytes;
}

uint64_t FileSize(HANDLE file) {
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) return 0;
    return (uint64_t(high) << 32) | low;
}

bool SeekTo(HANDLE file, uint64_t offset) {
    LONG high = LONG(uint32_t(offset >> 32));
    DWORD low = SetFilePointer(file, LONG(uint32_t(offset)), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS);
}

// One walk over the chunks from offset from; padded: a pad byte follows every odd-sized body.
bool WalkChunks(HANDLE file, DWORD fourcc, _ChunkHeader* header, DWORD from, bool padded) {
    const uint64_t size = FileSize(file);
    uint64_t offset = from;
    while (offset + 8 <= size) {
        BYTE raw[8];
        if (!SeekTo(file, offset) || !ReadExactly(file, raw, sizeof raw)) return false;
        _ChunkHeader found{Le32(raw), Le32(raw + 4)};
        if (found.id == fourcc) {
            *header = found;
            return true;
        }
        offset += 8 + uint64_t(found.size) + (padded ? (found.size & 1u) : 0u);
    }
    return false;
}

// The loop bounds are stored shifted by the sample's byte count (x2 for 8-bit, x4 for 16-bit data).
DWORD ShiftedLoopPoint(DWORD point, DWORD bits) {
    DWORD shift = bits / 8;
    return shift < 32 ? point << shift : 0;
}

} // namespace

LONG SndLengthField(DWORD dataSize, DWORD bits, DWORD rate) {
    uint64_t denominator = uint64_t(rate) * 8;
    if (denominator == 0) return -1;
    uint64_t length = (uint64_t(dataSize) * bits * 1000 + denominator / 2) / denominator;
    return length > 0x7FFFFFFF ? -1 : LONG(length);
}

DWORD SndBytesToEnd(HANDLE file) {
    LONG high = 0;
    DWORD low = SetFilePointer(file, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) return 0;
    uint64_t position = (uint64_t(uint32_t(high)) << 32) | low;
    uint64_t size = FileSize(file);
    uint64_t left = size > position ? size - position : 0;
    return DWORD(std::min<uint64_t>(left, 0xFFFFFFFFu));
}

int SNDSample::FindRiffChunk(HANDLE file, DWORD fourcc, _ChunkHeader* header, DWORD from) {
    if (!header || !file || file == INVALID_HANDLE_VALUE) return 0;
    if (WalkChunks(file, fourcc, header, from, true)) return 1;
    return WalkChunks(file, fourcc, header, from, false) ? 1 : 0;
}

HANDLE SNDSample::OpenSoundFile(const char* file) {
    if (!file) return INVALID_HANDLE_VALUE;
    SNDOpenFileFunc open = QuibSound::g_pOpenFile ? QuibSound::g_pOpenFile : nullptr;
    HANDLE handle = open ? open(file) : INVALID_HANDLE_VALUE;
    if (!handle || handle == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;
    if (!IsWavFile(handle)) {
        if (QuibSound::g_pCloseFile) QuibSound::g_pCloseFile(handle);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

int SNDSample::IsWavFile(HANDLE file) {
    BYTE riff[kFirstChunk];
    if (!SeekTo(file, 0) || !ReadExactly(file, riff, sizeof riff)) return 0;
    if (Le32(riff) != kRiff || Le32(riff + 8) != kWave) return 0;
    if (!ReadFormatChunk(file)) return 0;
    ReadSamplerChunk(file);
    _ChunkHeader data{};
    if (!FindRiffChunk(file, kData, &data, kFirstChunk)) return 0;
    m_dwDataSize = data.size;
    return 1;
}

int SNDSample::ReadFormatChunk(HANDLE file) {
    _ChunkHeader header{};
    if (!FindRiffChunk(file, kFormat, &header, kFirstChunk)) return 0;
    if (header.size < kFormatMinimum) return 0;
    BYTE body[kFormatBytes] = {};
    DWORD wanted = std::min(header.size, kFormatBytes);
    DWORD got = 0;
    if (!ReadFile(file, body, wanted, &got, nullptr) || got < kFormatMinimum) return 0;
    if (Le16(body) != WAVE_FORMAT_PCM) return 0;
    m_dwChannels = Le16(body + 2);
    m_dwRate = Le32(body + 4);
    m_dwBits = Le16(body + 14);
    m_dwFlags |= SND_HEADER;
    return 1;
}

void SNDSample::ReadSamplerChunk(HANDLE file) {
    _ChunkHeader header{};
    if (!FindRiffChunk(file, kSampler, &header, kFirstChunk)) return;
    BYTE body[kSamplerHeaderBytes];
    if (header.size < kSamplerHeaderBytes || !ReadExactly(file, body, sizeof body)) return;
    DWORD loops = Le32(body + 28);
    if (loops == 0) return;
    BYTE loop[kSamplerLoopBytes];
    if (header.size < kSamplerHeaderBytes + kSamplerLoopBytes || !ReadExactly(file, loop, sizeof loop))
        return;
    m_dwLoopStart = ShiftedLoopPoint(Le32(loop + 8), m_dwBits);
    m_dwLoopEnd = ShiftedLoopPoint(Le32(loop + 12), m_dwBits);
    m_dwLoopCount = Le32(loop + 20);
    m_dwFlags |= SND_LOOPS;
}
