#include "tessary/model/level_file.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Reads the bytes of a level file front to back, never past the end.
class LevelReader {
  public:
    LevelReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ReadInt32(int32_t& value) {
        if (size_ - offset_ < 4) return false;
        uint32_t bits = uint32_t(data_[offset_]) | uint32_t(data_[offset_ + 1]) << 8 |
                        uint32_t(data_[offset_ + 2]) << 16 | uint32_t(data_[offset_ + 3]) << 24;
        value = int32_t(bits);
        offset_ += 4;
        return true;
    }

    // A zero-terminated name of at most maxLength characters. 0 on success, 1 when the file ends
    // before the zero byte, 2 when the name is longer than maxLength.
    int ReadName(std::string& name, int maxLength) {
        name.clear();
        while (offset_ < size_) {
            char c = char(data_[offset_++]);
            if (c == '\0') return 0;
            if (int(name.size()) == maxLength) return 2;
            name.push_back(c);
        }
        return 1;
    }

    size_t Remaining() const { return size_ - offset_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t offset_ = 0;
};

// printf into a std::string (one line of at most 200 characters).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char line[200];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return line;
}

bool ParseLayer(LevelReader& reader, int index, LevelLayerData& layer, std::string& error) {
    int nameResult = reader.ReadName(layer.name, kLayerNameMax);
    if (nameResult == 1) {
        error = Format("level file ends inside the name of layer %d", index + 1);
        return false;
    }
    if (nameResult == 2) {
        error = Format("layer %d has a name longer than %d characters", index + 1, kLayerNameMax);
        return false;
    }
    int32_t count = 0;
    if (!reader.ReadInt32(count)) {
        error = Format("level file ends before the cell count of layer %d (\"%s\")", index + 1,
                       layer.name.c_str());
        return false;
    }
    if (count < 0 || count > kLevelMaxCells) {
        error = Format("layer %d (\"%s\") has an impossible cell count %d", index + 1, layer.name.c_str(),
                       int(count));
        return false;
    }
    if (reader.Remaining() / 4 < size_t(count)) {
        error =
            Format("level file ends inside the cells of layer %d (\"%s\")", index + 1, layer.name.c_str());
        return false;
    }
    layer.cells.resize(size_t(count));
    for (int32_t& cell : layer.cells)
        reader.ReadInt32(cell);
    return true;
}

} // namespace

bool ParseLevelFile(const uint8_t* data, size_t size, LevelFileData& out, std::string& error) {
    out.layers.clear();
    LevelReader reader(data, data ? size : 0);
    int32_t layerCount = 0;
    if (!reader.ReadInt32(layerCount)) {
        error = "level file is too short for its layer count";
        return false;
    }
    if (layerCount < 0 || layerCount > kLevelMaxLayers) {
        error = Format("level file has an impossible layer count %d", int(layerCount));
        return false;
    }
    LevelFileData level;
    level.layers.resize(size_t(layerCount));
    for (int i = 0; i < layerCount; ++i) {
        if (!ParseLayer(reader, i, level.layers[size_t(i)], error)) return false;
    }
    if (reader.Remaining() != 0) {
        error = Format("level file has %zu unexpected bytes after its last layer", reader.Remaining());
        return false;
    }
    out = std::move(level);
    return true;
}

std::vector<uint8_t> SerializeLevelFile(const LevelFileData& level) {
    std::vector<uint8_t> bytes;
    auto put32 = [&bytes](int32_t value) {
        uint32_t bits = uint32_t(value);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(uint8_t(bits >> shift));
    };
    put32(int32_t(level.layers.size()));
    for (const LevelLayerData& layer : level.layers) {
        bytes.insert(bytes.end(), layer.name.begin(), layer.name.end());
        bytes.push_back(0);
        put32(int32_t(layer.cells.size()));
        for (int32_t cell : layer.cells)
            put32(cell);
    }
    return bytes;
}
