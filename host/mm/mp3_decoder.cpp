#include "host/mm/mp3_decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

mpg123_ssize_t ReadMemory(void* handle, void* out, size_t count) {
    auto* file = static_cast<HostMemoryFile*>(handle);
    size_t left = file->bytes.size() - std::min(file->position, file->bytes.size());
    size_t now = std::min(left, count);
    if (now > 0) std::memcpy(out, file->bytes.data() + file->position, now);
    file->position += now;
    return mpg123_ssize_t(now);
}

off_t SeekMemory(void* handle, off_t offset, int whence) {
    auto* file = static_cast<HostMemoryFile*>(handle);
    off_t base = 0;
    if (whence == SEEK_CUR)
        base = off_t(file->position);
    else if (whence == SEEK_END)
        base = off_t(file->bytes.size());
    else if (whence != SEEK_SET)
        return -1;
    off_t target = base + offset;
    if (target < 0 || target > off_t(file->bytes.size())) return -1;
    file->position = size_t(target);
    return target;
}

void InitLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

} // namespace

HostMp3Decoder::HostMp3Decoder(std::vector<unsigned char> file) {
    file_.bytes = std::move(file);
}

HostMp3Decoder::~HostMp3Decoder() {
    if (handle_) {
        mpg123_close(handle_);
        mpg123_delete(handle_);
    }
}

bool HostMp3Decoder::Open() {
    InitLibraryOnce();
    if (file_.bytes.empty()) return false;
    int error = MPG123_OK;
    handle_ = mpg123_new(nullptr, &error);
    if (!handle_) return false;
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    // Every rate the library knows, mono or stereo, always as 16-bit signed samples.
    mpg123_format_none(handle_);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_replace_reader_handle(handle_, ReadMemory, SeekMemory, nullptr) != MPG123_OK) return false;
    if (mpg123_open_handle(handle_, &file_) != MPG123_OK) return false;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK) return false;
    if (rate <= 0 || (channels != 1 && channels != 2) || encoding != MPG123_ENC_SIGNED_16) return false;
    rate_ = int(rate);
    channels_ = channels;
    if (mpg123_scan(handle_) != MPG123_OK) return false;
    off_t length = mpg123_length(handle_);
    if (length <= 0) return false;
    lengthFrames_ = uint64_t(length);
    // The first frame must decode: a file with a few stray frame headers is not music.
    int16_t probe[64 * 2];
    if (Read(probe, 64) <= 0) return false;
    return Seek(0);
}

int HostMp3Decoder::Read(int16_t* out, int frames) {
    if (!handle_ || failed_ || frames <= 0) return 0;
    size_t frameBytes = size_t(channels_) * sizeof(int16_t);
    size_t wanted = size_t(frames) * frameBytes;
    size_t got = 0;
    while (got < wanted) {
        size_t done = 0;
        int result = mpg123_read(handle_, reinterpret_cast<unsigned char*>(out) + got, wanted - got, &done);
        got += done;
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            mpg123_getformat(handle_, &rate, &channels, &encoding);
            // A stream that changes its layout midway ends there.
            if (channels != channels_ || int(rate) != rate_) break;
            continue;
        }
        if (result == MPG123_DONE) break;
        if (result != MPG123_OK) {
            failed_ = true;
            break;
        }
        if (done == 0) break;
    }
    return int(got / frameBytes);
}

bool HostMp3Decoder::Seek(uint64_t frame) {
    if (!handle_) return false;
    if (frame == 0) {
        // From the start the stream is opened afresh, so every play from the start decodes the very same
        // samples (a seek keeps some decoder state and may differ in the last bit).
        mpg123_close(handle_);
        file_.position = 0;
        failed_ = false;
        return mpg123_open_handle(handle_, &file_) == MPG123_OK;
    }
    if (failed_) return false;
    return mpg123_seek(handle_, off_t(frame), SEEK_SET) >= 0;
}
