#include "host/rm/x_import_flat.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <type_traits>
#include <unistd.h>

namespace {

// The message: a start word, the materials (count, then per material its colour, power, specular,
// emissive and name length and bytes), the vertices (count, then the positions, the normals and the
// texture coordinates), the faces (count, then the faces), the corners (count, then the corners) and an
// end word. Words and values in the machine's own order: both ends are the same program.
constexpr uint32_t kMessageStart = 0x31465851; // "QXF1"
constexpr uint32_t kMessageEnd = 0x444E4558;   // "XEND"
constexpr size_t kBufferBytes = 64 * 1024;

// Writes in pieces of kBufferBytes at most, each whole (a write may take only part of a piece).
class PipeWriter {
  public:
    explicit PipeWriter(int fd) : fd_(fd) { buffer_.reserve(kBufferBytes); }

    void Put(const void* bytes, size_t size) {
        const auto* at = static_cast<const uint8_t*>(bytes);
        if (buffer_.size() + size > kBufferBytes) {
            Flush();
            if (size >= kBufferBytes) {
                WriteAll(at, size);
                return;
            }
        }
        buffer_.insert(buffer_.end(), at, at + size);
    }
    void Word(uint32_t value) { Put(&value, sizeof value); }
    template <class T> void Array(const std::vector<T>& values) {
        Put(values.data(), values.size() * sizeof(T));
    }

    // Writes what is left; whether every write succeeded.
    bool Finish() {
        Flush();
        return ok_;
    }

  private:
    void Flush() {
        WriteAll(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    void WriteAll(const uint8_t* at, size_t size) {
        while (ok_ && size > 0) {
            ssize_t written = ::write(fd_, at, size);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) {
                ok_ = false;
                return;
            }
            at += written, size -= size_t(written);
        }
    }

    int fd_;
    bool ok_ = true;
    std::vector<uint8_t> buffer_;
};

// Reads exact byte counts, waiting until the deadline at most; false on the end of the data, an error
// or the deadline.
class PipeReader {
  public:
    PipeReader(int fd, std::chrono::steady_clock::time_point deadline)
        : fd_(fd), deadline_(deadline), buffer_(kBufferBytes) {}

    bool Read(void* bytes, size_t size) {
        auto* at = static_cast<uint8_t*>(bytes);
        while (size > 0) {
            if (next_ == end_) {
                // Large reads go straight to their place; small ones through the buffer.
                if (size >= kBufferBytes) {
                    if (!ReadSome(at, size)) return false;
                    continue;
                }
                if (!Refill()) return false;
            }
            size_t taken = std::min(size, end_ - next_);
            std::memcpy(at, buffer_.data() + next_, taken);
            next_ += taken, at += taken, size -= taken;
        }
        return true;
    }

  private:
    // Reads at least one byte into at (advancing at and size past what came).
    bool ReadSome(uint8_t*& at, size_t& size) {
        ssize_t got = ReadOnce(at, size);
        if (got <= 0) return false;
        at += got, size -= size_t(got);
        return true;
    }
    bool Refill() {
        ssize_t got = ReadOnce(buffer_.data(), buffer_.size());
        if (got <= 0) return false;
        next_ = 0, end_ = size_t(got);
        return true;
    }
    // One read once data is there: its result, 0 at the end of the data, -1 on an error or the deadline.
    ssize_t ReadOnce(uint8_t* at, size_t size) {
        for (;;) {
            auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now());
            if (left.count() <= 0) return -1;
            pollfd wait = {fd_, POLLIN, 0};
            int ready = ::poll(&wait, 1, int(std::min<long long>(left.count(), 1000 * 1000)));
            if (ready < 0 && errno != EINTR) return -1;
            if (ready <= 0) continue; // interrupted, or the wait ended: look at the clock again
            ssize_t got = ::read(fd_, at, size);
            if (got >= 0) return got;
            if (errno != EINTR && errno != EAGAIN) return -1;
        }
    }

    int fd_;
    std::chrono::steady_clock::time_point deadline_;
    std::vector<uint8_t> buffer_;
    size_t next_ = 0, end_ = 0;
};

// Reads from a message held whole in memory.
class MemoryReader {
  public:
    MemoryReader(const uint8_t* data, size_t size) : at_(data), left_(size) {}

    bool Read(void* bytes, size_t size) {
        if (size > left_) return false;
        if (size) std::memcpy(bytes, at_, size);
        at_ += size, left_ -= size;
        return true;
    }

  private:
    const uint8_t* at_;
    size_t left_;
};

template <class Reader> bool Word(Reader& in, uint32_t& value) {
    return in.Read(&value, sizeof value);
}

// Reads count values onto the end of out, growing it only as their bytes arrive.
template <class Reader, class T> bool Array(Reader& in, std::vector<T>& out, size_t count) {
    static_assert(std::is_trivially_copyable_v<T>);
    constexpr size_t kStep = kBufferBytes / sizeof(T);
    for (size_t done = 0; done < count;) {
        size_t step = std::min(kStep, count - done);
        size_t at = out.size();
        out.resize(at + step);
        if (!in.Read(out.data() + at, step * sizeof(T))) return false;
        done += step;
    }
    return true;
}

template <class Reader> bool ReadMaterial(Reader& in, HostRMXMaterial& material) {
    uint32_t nameBytes = 0;
    if (!Word(in, material.colour) || !in.Read(&material.power, sizeof material.power) ||
        !in.Read(material.specular, sizeof material.specular) ||
        !in.Read(material.emissive, sizeof material.emissive) || !Word(in, nameBytes) ||
        nameBytes > kHostRMXMaxNameBytes)
        return false;
    material.texture.resize(nameBytes);
    return in.Read(material.texture.data(), nameBytes);
}

} // namespace

bool HostRMXFlatSound(const HostRMXFlat& flat) {
    size_t vertices = flat.positions.size();
    if (flat.materials.size() > kHostRMXMaxMaterials || vertices > kHostRMXMaxCorners ||
        flat.corners.size() > kHostRMXMaxCorners || flat.normals.size() != vertices ||
        flat.texCoords.size() != 2 * vertices)
        return false;
    for (const HostRMXMaterial& material : flat.materials)
        if (material.texture.size() > kHostRMXMaxNameBytes ||
            material.texture.find('\0') != std::string::npos)
            return false;
    uint64_t corners = 0;
    for (const HostRMXFace& face : flat.faces) {
        if (face.cornerCount < 3 ||
            (face.material != kHostRMXNoMaterial && face.material >= flat.materials.size()))
            return false;
        corners += face.cornerCount;
    }
    return corners == flat.corners.size() &&
           std::all_of(flat.corners.begin(), flat.corners.end(), [&](uint32_t v) { return v < vertices; });
}

bool HostRMXSendFlat(int fd, const HostRMXFlat& flat) {
    PipeWriter out(fd);
    out.Word(kMessageStart);
    out.Word(uint32_t(flat.materials.size()));
    for (const HostRMXMaterial& material : flat.materials) {
        out.Word(material.colour);
        out.Put(&material.power, sizeof material.power);
        out.Put(material.specular, sizeof material.specular);
        out.Put(material.emissive, sizeof material.emissive);
        out.Word(uint32_t(material.texture.size()));
        out.Put(material.texture.data(), material.texture.size());
    }
    out.Word(uint32_t(flat.positions.size()));
    out.Array(flat.positions);
    out.Array(flat.normals);
    out.Array(flat.texCoords);
    out.Word(uint32_t(flat.faces.size()));
    out.Array(flat.faces);
    out.Word(uint32_t(flat.corners.size()));
    out.Array(flat.corners);
    out.Word(kMessageEnd);
    return out.Finish();
}

namespace {

// One message from in into out: the checks of HostRMXReceiveFlat.
template <class Reader> bool ReadMessage(Reader& in, HostRMXFlat& out) {
    uint32_t word = 0, count = 0;
    if (!Word(in, word) || word != kMessageStart || !Word(in, count) || count > kHostRMXMaxMaterials)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        HostRMXMaterial material;
        if (!ReadMaterial(in, material)) return false;
        out.materials.push_back(std::move(material));
    }
    if (!Word(in, count) || count > kHostRMXMaxCorners || !Array(in, out.positions, count) ||
        !Array(in, out.normals, count) || !Array(in, out.texCoords, 2 * size_t(count)))
        return false;
    // Every face has three corners or more.
    if (!Word(in, count) || count > kHostRMXMaxCorners / 3 || !Array(in, out.faces, count)) return false;
    if (!Word(in, count) || count > kHostRMXMaxCorners || !Array(in, out.corners, count)) return false;
    return Word(in, word) && word == kMessageEnd && HostRMXFlatSound(out);
}

} // namespace

bool HostRMXReceiveFlat(int fd, std::chrono::steady_clock::time_point deadline, HostRMXFlat& out) {
    PipeReader in(fd, deadline);
    return ReadMessage(in, out);
}

bool HostRMXParseFlat(const uint8_t* data, size_t size, HostRMXFlat& out) {
    MemoryReader in(data, size);
    return ReadMessage(in, out);
}
