#include "host/rm/ppm.h"

namespace {

// Reads the header's and the text form's tokens: unsigned decimal numbers between white space and
// comments (a "#" up to the end of its line).
class PpmReader {
  public:
    PpmReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // The next number into value; false at the end, on anything but digits, or above limit.
    bool Number(uint32_t limit, uint32_t& value) {
        SkipSpaceAndComments();
        if (at_ >= size_ || !IsDigit(data_[at_])) return false;
        uint64_t number = 0;
        while (at_ < size_ && IsDigit(data_[at_])) {
            number = number * 10 + (data_[at_++] - '0');
            if (number > limit) return false;
        }
        value = static_cast<uint32_t>(number);
        return true;
    }
    // After the header's last number: exactly one white-space byte precedes the binary samples.
    bool SingleSpace() {
        if (at_ >= size_ || !IsSpace(data_[at_])) return false;
        ++at_;
        return true;
    }
    size_t Left() const { return size_ - at_; }
    const uint8_t* Here() const { return data_ + at_; }

  private:
    static bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
    static bool IsSpace(uint8_t c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }
    void SkipSpaceAndComments() {
        while (at_ < size_) {
            if (IsSpace(data_[at_])) {
                ++at_;
            } else if (data_[at_] == '#') {
                while (at_ < size_ && data_[at_] != '\n' && data_[at_] != '\r')
                    ++at_;
            } else {
                return;
            }
        }
    }

    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A sample of 0..maximum scaled to 0..255, rounded.
uint8_t Scale(uint32_t sample, uint32_t maximum) {
    return static_cast<uint8_t>((sample * 255u + maximum / 2) / maximum);
}

bool ReadBinarySamples(PpmReader& reader, uint32_t maximum, HostRMImage& image) {
    if (!reader.SingleSpace()) return false;
    size_t bytesPerSample = maximum > 255 ? 2 : 1;
    if (reader.Left() / bytesPerSample < image.rgb.size()) return false;
    const uint8_t* sample = reader.Here();
    for (uint8_t& out : image.rgb) {
        uint32_t value = bytesPerSample == 2 ? (uint32_t(sample[0]) << 8 | sample[1]) : sample[0];
        sample += bytesPerSample;
        if (value > maximum) return false;
        out = Scale(value, maximum);
    }
    return true;
}

bool ReadTextSamples(PpmReader& reader, uint32_t maximum, HostRMImage& image) {
    for (uint8_t& out : image.rgb) {
        uint32_t value;
        if (!reader.Number(maximum, value)) return false;
        out = Scale(value, maximum);
    }
    return true;
}

} // namespace

std::optional<HostRMImage> HostDecodePpm(const uint8_t* data, size_t size) {
    if (!data || size < 2 || data[0] != 'P' || (data[1] != '6' && data[1] != '3')) return std::nullopt;
    bool binary = data[1] == '6';
    PpmReader reader(data + 2, size - 2);
    uint32_t width, height, maximum;
    if (!reader.Number(kHostRMImageMaxSide, width) || !reader.Number(kHostRMImageMaxSide, height) ||
        !reader.Number(65535, maximum))
        return std::nullopt;
    if (width == 0 || height == 0 || maximum == 0 || size_t(width) * height > kHostRMImageMaxPixels)
        return std::nullopt;
    HostRMImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    // A text file needs at least two bytes per sample: never allocate more than the file can fill.
    size_t samples = size_t(width) * height * 3;
    if (samples > (binary ? reader.Left() : reader.Left() / 2 + 1)) return std::nullopt;
    image.rgb.resize(samples);
    bool read = binary ? ReadBinarySamples(reader, maximum, image) : ReadTextSamples(reader, maximum, image);
    if (!read) return std::nullopt;
    return image;
}
