// An MP3 file held in memory, decoded to 16-bit signed PCM a piece at a time (libmpg123).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct mpg123_handle_struct;

// What libmpg123 reads through: the file in memory and a read position.
struct HostMemoryFile {
    std::vector<unsigned char> bytes;
    size_t position = 0;
};

class HostMp3Decoder {
  public:
    // Takes the whole file. Open says whether it holds decodable MP3 frames.
    explicit HostMp3Decoder(std::vector<unsigned char> file);
    ~HostMp3Decoder();
    HostMp3Decoder(const HostMp3Decoder&) = delete;
    HostMp3Decoder& operator=(const HostMp3Decoder&) = delete;

    // Parses the stream and decodes its first frame. False when the file is not MP3 audio.
    bool Open();
    int Rate() const { return rate_; }
    int Channels() const { return channels_; }
    // The length in sample frames (counted by a scan of every frame at Open).
    uint64_t LengthFrames() const { return lengthFrames_; }
    // Decodes up to frames sample frames (Channels() samples each) into out. Returns the frames decoded;
    // 0 at the end of the stream or after a decoding error (Failed() tells which).
    int Read(int16_t* out, int frames);
    // Moves to a sample frame from the start; false when the stream cannot seek there.
    bool Seek(uint64_t frame);
    bool Failed() const { return failed_; }

  private:
    HostMemoryFile file_;
    mpg123_handle_struct* handle_ = nullptr;
    int rate_ = 0;
    int channels_ = 0;
    uint64_t lengthFrames_ = 0;
    bool failed_ = false;
};
