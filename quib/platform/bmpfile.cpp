// Reading BMP files into packed images and writing packed images as BMP files.
#include "quib/platform/bmpfile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/win/files.h"
#include "host/win/messagebox.h"
#include "quib/platform/dib.h"
#include "quib/platform/errors.h"

namespace {

constexpr WORD kBmpType = 0x4D42; // "BM"
constexpr uint64_t kFileHeaderBytes = sizeof(BITMAPFILEHEADER);
constexpr uint64_t kInfoHeaderBytes = sizeof(BITMAPINFOHEADER);
constexpr DWORD kMaxColours = 256;

const char kErrorReading[] = "ReadBMPFile: error reading file";
const char kBadFormat[] = "ReadBMPFile: bad BMP format";
const char kBadAlloc[] = "ReadBMPFile: bad alloc";
const char kBadHeaderSize[] = "ReadBMPFile: OS/2 format not supported";
const char kGrowFailedHandle[] = "ReadBMPFile: bad error";

// An open file as the reader sees it: exact reads, absolute seeks, the position and the size.
class BmpSource {
  public:
    virtual ~BmpSource() = default;
    // False on a failed or short read.
    virtual bool ReadExactly(void* buffer, size_t bytes) = 0;
    virtual bool SeekTo(uint64_t position) = 0;
    virtual bool Position(uint64_t& position) = 0;
    virtual bool Size(uint64_t& size) = 0;
};

class HandleSource : public BmpSource {
  public:
    explicit HandleSource(HANDLE file) : file_(file) {}
    bool ReadExactly(void* buffer, size_t bytes) override {
        DWORD got = 0;
        return bytes <= 0xFFFFFFFFu && ReadFile(file_, buffer, DWORD(bytes), &got, nullptr) && got == bytes;
    }
    bool SeekTo(uint64_t position) override {
        LONG high = LONG(uint32_t(position >> 32));
        SetLastError(ERROR_SUCCESS);
        DWORD low = SetFilePointer(file_, LONG(uint32_t(position)), &high, FILE_BEGIN);
        return !(low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS);
    }
    bool Position(uint64_t& position) override {
        LONG high = 0;
        SetLastError(ERROR_SUCCESS);
        DWORD low = SetFilePointer(file_, 0, &high, FILE_CURRENT);
        if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) return false;
        position = (uint64_t(uint32_t(high)) << 32) | low;
        return true;
    }
    bool Size(uint64_t& size) override {
        DWORD high = 0;
        SetLastError(ERROR_SUCCESS);
        DWORD low = GetFileSize(file_, &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) return false;
        size = (uint64_t(high) << 32) | low;
        return true;
    }

  private:
    HANDLE file_;
};

class StreamSource : public BmpSource {
  public:
    explicit StreamSource(FILE* stream) : stream_(stream) {}
    bool ReadExactly(void* buffer, size_t bytes) override {
        return std::fread(buffer, 1, bytes, stream_) == bytes;
    }
    bool SeekTo(uint64_t position) override {
        return position <= uint64_t(INT64_MAX) && std::fseek(stream_, long(position), SEEK_SET) == 0;
    }
    bool Position(uint64_t& position) override {
        long at = std::ftell(stream_);
        if (at < 0) return false;
        position = uint64_t(at);
        return true;
    }
    bool Size(uint64_t& size) override {
        long at = std::ftell(stream_);
        if (at < 0 || std::fseek(stream_, 0, SEEK_END) != 0) return false;
        long end = std::ftell(stream_);
        if (std::fseek(stream_, at, SEEK_SET) != 0 || end < 0) return false;
        size = uint64_t(end);
        return true;
    }

  private:
    FILE* stream_;
};

// Where the parts of the file lie, all as absolute file positions.
struct BmpLayout {
    uint64_t tableBytes;
    uint64_t imageBytes;
    uint64_t tableEnd;      // just past the colour table
    uint64_t pixelPosition; // the first pixel row
};

BITMAPINFOHEADER* Refuse(const char* message, void* block) {
    RegError(message);
    std::free(block);
    return nullptr;
}

bool IsKnownBitCount(WORD bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The header's own plausibility: what the reader supports and what cannot overflow.
bool HeaderIsPlausible(const BITMAPINFOHEADER& header) {
    if (header.biWidth <= 0 || header.biHeight <= 0) return false; // top-down rows are not supported
    if (header.biPlanes != 1 || !IsKnownBitCount(header.biBitCount)) return false;
    if (header.biCompression != BI_RGB) return false; // packed and masked rows would be misread
    if (header.biClrUsed > kMaxColours) return false;
    const uint64_t rowBytes = (uint64_t(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    return rowBytes <= kBmpMaxImageBytes / uint64_t(header.biHeight);
}

// Places the table and the pixels. False when the pixel offset points into the headers.
bool PlaceParts(const BITMAPFILEHEADER& fileHeader, const BITMAPINFOHEADER& header, uint64_t headerEnd,
                BmpLayout& layout) {
    layout.tableBytes = DIBPaletteSize(&header);
    layout.imageBytes = DIBImageBytes(&header);
    layout.tableEnd = headerEnd + layout.tableBytes;
    if (fileHeader.bfOffBits == 0) {
        layout.pixelPosition = layout.tableEnd;
        return true;
    }
    layout.pixelPosition = fileHeader.bfOffBits;
    return layout.pixelPosition >= layout.tableEnd;
}

BITMAPINFOHEADER* ReadBmp(BmpSource& in, const char* growFailure) {
    BITMAPFILEHEADER fileHeader;
    if (!in.ReadExactly(&fileHeader, sizeof fileHeader)) return Refuse(kErrorReading, nullptr);
    if (fileHeader.bfType != kBmpType || fileHeader.bfReserved1 != 0 || fileHeader.bfReserved2 != 0)
        return Refuse(kBadFormat, nullptr);

    auto* header = static_cast<BITMAPINFOHEADER*>(std::malloc(kInfoHeaderBytes));
    if (!header) return Refuse(kBadAlloc, nullptr);
    if (!in.ReadExactly(header, kInfoHeaderBytes)) return Refuse(kErrorReading, header);
    if (header->biSize != kInfoHeaderBytes) return Refuse(kBadHeaderSize, header);
    if (!HeaderIsPlausible(*header)) return Refuse(kBadFormat, header);

    uint64_t headerEnd = 0, fileSize = 0;
    if (!in.Position(headerEnd) || !in.Size(fileSize)) return Refuse(kErrorReading, header);
    BmpLayout layout;
    if (!PlaceParts(fileHeader, *header, headerEnd, layout)) return Refuse(kBadFormat, header);
    // What the header declares must be in the file before any of it is allocated.
    if (layout.tableEnd > fileSize || layout.pixelPosition > fileSize ||
        layout.imageBytes > fileSize - layout.pixelPosition)
        return Refuse(kErrorReading, header);

    const size_t total = size_t(kInfoHeaderBytes + layout.tableBytes + layout.imageBytes);
    void* grown = std::realloc(header, total);
    if (!grown) return Refuse(growFailure, header);
    header = static_cast<BITMAPINFOHEADER*>(grown);

    BYTE* table = reinterpret_cast<BYTE*>(header) + kInfoHeaderBytes;
    if (layout.tableBytes && !in.ReadExactly(table, size_t(layout.tableBytes)))
        return Refuse(kErrorReading, header);
    if (fileHeader.bfOffBits != 0 && !in.SeekTo(layout.pixelPosition)) return Refuse(kErrorReading, header);
    if (!in.ReadExactly(DIBBits(header), size_t(layout.imageBytes))) return Refuse(kErrorReading, header);
    return header;
}

// Writes all of bytes; false on a failed or short write.
bool WriteAll(HANDLE file, const void* bytes, size_t count) {
    DWORD written = 0;
    return count <= 0xFFFFFFFFu && WriteFile(file, bytes, DWORD(count), &written, nullptr) &&
           written == count;
}

int WriteFailed(HANDLE file, const char* name) {
    CloseHandle(file);
    MessageBoxA(nullptr, "Error Writing file", name, MB_OK);
    return 0;
}

} // namespace

BITMAPINFOHEADER* ReadBMPFile(const char* name) {
    HANDLE file =
        name ? CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
             : INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) {
        RegErrorf("ReadBMPFile: error opening file <%s>", name ? name : "");
        return nullptr;
    }
    BITMAPINFOHEADER* image = ReadBMPFromHandle(file);
    CloseHandle(file);
    return image;
}

BITMAPINFOHEADER* ReadBMPFromHandle(HANDLE file) {
    HandleSource source(file);
    return ReadBmp(source, kGrowFailedHandle);
}

BITMAPINFOHEADER* ReadBMPFromStream(FILE* stream) {
    if (!stream) return Refuse(kErrorReading, nullptr);
    StreamSource source(stream);
    return ReadBmp(source, kBadAlloc);
}

int WriteDIBFile(const char* name, const BITMAPINFOHEADER* image) {
    const uint64_t tableBytes = DIBPaletteSize(image);
    const uint64_t packedBytes = image->biSize + tableBytes + DIBImageBytes(image);
    const uint64_t fileBytes = kFileHeaderBytes + packedBytes;
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        MessageBoxA(nullptr, "Error opening file", name, MB_OK);
        return 0;
    }
    if (fileBytes > 0xFFFFFFFFu) return WriteFailed(file, name); // beyond what the size field can say

    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = kBmpType;
    fileHeader.bfSize = DWORD(fileBytes);
    fileHeader.bfOffBits = DWORD(kFileHeaderBytes + kInfoHeaderBytes + tableBytes);
    if (!WriteAll(file, &fileHeader, sizeof fileHeader)) return WriteFailed(file, name);
    if (!WriteAll(file, image, size_t(packedBytes))) return WriteFailed(file, name);
    CloseHandle(file);
    return 1;
}
