#include "host/mm/music_voice.h"

#include <algorithm>

#include "host/mm/mci.h"

namespace {

// Frames decoded at a time: a little more than one MP3 frame.
constexpr int kDecodeFrames = 2048;

} // namespace

HostMusicVoice::HostMusicVoice(std::unique_ptr<HostMp3Decoder> decoder, UINT deviceId)
    : decoder_(std::move(decoder)), deviceId_(deviceId), pcm_(size_t(kDecodeFrames) * 2) {
    Restart(0);
}

bool HostMusicVoice::Fetch(Frame& frame) {
    if (pcmNext_ >= pcmFrames_) {
        pcmFrames_ = size_t(std::max(0, decoder_->Read(pcm_.data(), kDecodeFrames)));
        pcmNext_ = 0;
        if (pcmFrames_ == 0) return false;
    }
    int channels = decoder_->Channels();
    const int16_t* at = pcm_.data() + pcmNext_ * size_t(channels);
    frame.left = float(at[0]) / 32768.0f;
    frame.right = channels == 2 ? float(at[1]) / 32768.0f : frame.left;
    ++pcmNext_;
    return true;
}

void HostMusicVoice::Restart(uint64_t frame) {
    pcmFrames_ = pcmNext_ = 0;
    fraction_ = 0;
    position_ = std::min(frame, LengthFrames());
    bool sought = decoder_->Seek(position_);
    haveCurrent_ = sought && Fetch(current_);
    haveNext_ = haveCurrent_ && Fetch(next_);
    atEnd_ = !haveCurrent_;
}

void HostMusicVoice::Play(uint64_t from, uint64_t to, HWND notifyWindow) {
    if (from != NO_FRAME)
        Restart(from);
    else if (atEnd_)
        Restart(0);
    endFrame_ = to;
    notifyWindow_ = notifyWindow;
    playing_ = true;
    paused_ = false;
    HostMixerStart(this);
}

void HostMusicVoice::Stop() {
    playing_ = false;
    paused_ = false;
    notifyWindow_ = nullptr;
    HostMixerStop(this);
}

void HostMusicVoice::Pause() {
    if (!playing_) return;
    playing_ = false;
    paused_ = true;
    HostMixerStop(this);
}

void HostMusicVoice::Resume() {
    if (!paused_) return;
    paused_ = false;
    playing_ = true;
    HostMixerStart(this);
}

void HostMusicVoice::Seek(uint64_t frame) {
    Stop();
    Restart(frame);
}

const char* HostMusicVoice::Mode() const {
    if (playing_) return "playing";
    return paused_ ? "paused" : "stopped";
}

void HostMusicVoice::Finish() {
    playing_ = false;
    paused_ = false;
    atEnd_ = true;
    if (notifyWindow_) {
        WPARAM result = decoder_->Failed() ? MCI_NOTIFY_FAILURE : MCI_NOTIFY_SUCCESSFUL;
        HostMixerPostAfterMix(notifyWindow_, MM_MCINOTIFY, result, LPARAM(deviceId_));
        notifyWindow_ = nullptr;
    }
}

bool HostMusicVoice::MixInto(float* mix, int frames, int rate) {
    if (!playing_) return false;
    if (rate <= 0) return true;
    const uint64_t step = (uint64_t(decoder_->Rate()) << 32) / uint64_t(rate);
    for (int i = 0; i < frames; ++i) {
        if (!haveCurrent_ || position_ >= endFrame_) {
            Finish();
            return false;
        }
        // The last frame of the stream holds its value rather than falling to silence.
        const Frame& towards = haveNext_ ? next_ : current_;
        float t = float(fraction_) * (1.0f / 4294967296.0f);
        mix[i * 2] += current_.left + (towards.left - current_.left) * t;
        mix[i * 2 + 1] += current_.right + (towards.right - current_.right) * t;
        uint64_t advanced = uint64_t(fraction_) + step;
        fraction_ = uint32_t(advanced);
        for (uint64_t whole = advanced >> 32; whole > 0 && haveCurrent_; --whole) {
            current_ = next_;
            haveCurrent_ = haveNext_;
            ++position_;
            if (haveNext_) haveNext_ = Fetch(next_);
        }
    }
    // A play that ends exactly at the end of this mix is finished now, not one mix later.
    if (!haveCurrent_ || position_ >= endFrame_) {
        Finish();
        return false;
    }
    return true;
}
