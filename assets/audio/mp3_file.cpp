#include "assets/audio/mp3_file.h"

#include <lame/lame.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <vector>

namespace audiogen {

namespace {

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using Lame = std::unique_ptr<lame_global_flags, LameDeleter>;

// Output room the encoder asks for: 1.25 x the samples plus 7200 bytes.
int OutputRoom(int samples) {
    return samples + samples / 4 + 7200;
}

Lame OpenEncoder(int rate, int kbps) {
    Lame lame(lame_init());
    if (!lame) return nullptr;
    lame_set_in_samplerate(lame.get(), rate);
    lame_set_out_samplerate(lame.get(), rate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), kbps);
    lame_set_quality(lame.get(), 5);
    lame_set_bWriteVbrTag(lame.get(), 1);
    // No ID3 tags: the first frame of the file is the LAME tag frame rewritten at the end.
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) return nullptr;
    return lame;
}

} // namespace

bool WriteMp3(const std::string& path, const Samples& left, const Samples& right, int rate, int kbps,
              std::string& error) {
    if (left.size() != right.size()) {
        error = "the music's channels differ in length";
        return false;
    }
    Lame lame = OpenEncoder(rate, kbps);
    if (!lame) {
        error = "the MP3 encoder refused its settings";
        return false;
    }
    const int kChunk = 8192;
    std::vector<unsigned char> mp3;
    std::vector<unsigned char> room(size_t(OutputRoom(kChunk)));
    for (size_t at = 0; at < left.size(); at += kChunk) {
        int count = int(std::min<size_t>(kChunk, left.size() - at));
        int bytes = lame_encode_buffer_ieee_float(lame.get(), left.data() + at, right.data() + at, count,
                                                  room.data(), int(room.size()));
        if (bytes < 0) {
            error = "the MP3 encoder failed (" + std::to_string(bytes) + ")";
            return false;
        }
        mp3.insert(mp3.end(), room.begin(), room.begin() + bytes);
    }
    int bytes = lame_encode_flush(lame.get(), room.data(), int(room.size()));
    if (bytes < 0) {
        error = "the MP3 encoder failed to flush (" + std::to_string(bytes) + ")";
        return false;
    }
    mp3.insert(mp3.end(), room.begin(), room.begin() + bytes);

    // The encoder began the stream with an empty tag frame; put the finished tag in its place.
    unsigned char tag[2880];
    size_t tagBytes = lame_get_lametag_frame(lame.get(), tag, sizeof tag);
    if (tagBytes > sizeof tag || tagBytes > mp3.size()) {
        error = "the MP3 tag frame does not fit";
        return false;
    }
    std::copy(tag, tag + tagBytes, mp3.begin());

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot create " + path;
        return false;
    }
    out.write(reinterpret_cast<const char*>(mp3.data()), std::streamsize(mp3.size()));
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace audiogen
