// A piece of music (an MP3 stream) that the mixer plays: decoded as it plays, resampled to the output
// rate, and announced to a window with MM_MCINOTIFY when it reaches its end.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/dsound/mixer.h"
#include "host/mm/mp3_decoder.h"

class HostMusicVoice final : public HostMixSource {
  public:
    // decoder must be open. deviceId is what the end notice carries in lParam.
    HostMusicVoice(std::unique_ptr<HostMp3Decoder> decoder, UINT deviceId);

    // Every member below runs with the mixer lock held.

    // Plays from frame from (NO_FRAME: the current position, or the start when the music is at its end)
    // up to frame to (NO_FRAME: the end). A window given receives MM_MCINOTIFY (MCI_NOTIFY_SUCCESSFUL, or
    // MCI_NOTIFY_FAILURE when decoding failed) when the play ends; a notice still pending from an
    // earlier play is dropped.
    void Play(uint64_t from, uint64_t to, HWND notifyWindow);
    // Stops and keeps the position; a pending notice is dropped.
    void Stop();
    // Stops and keeps the position and the pending notice until Resume.
    void Pause();
    void Resume();
    // Stops and moves to frame (at most the length).
    void Seek(uint64_t frame);
    // "playing", "paused" or "stopped".
    const char* Mode() const;
    uint64_t PositionFrames() const { return position_; }
    uint64_t LengthFrames() const { return decoder_->LengthFrames(); }
    int Rate() const { return decoder_->Rate(); }

    bool MixInto(float* mix, int frames, int rate) override;

    static constexpr uint64_t NO_FRAME = ~uint64_t(0);

  private:
    struct Frame {
        float left = 0.0f;
        float right = 0.0f;
    };

    // The next decoded frame; false at the end of the stream.
    bool Fetch(Frame& frame);
    // Moves the decoder to frame and loads the first two frames from there.
    void Restart(uint64_t frame);
    // The play reached its end: stops and posts the pending notice.
    void Finish();

    std::unique_ptr<HostMp3Decoder> decoder_;
    UINT deviceId_;
    std::vector<int16_t> pcm_; // decoded, not yet played
    size_t pcmFrames_ = 0;
    size_t pcmNext_ = 0;
    // Playing interpolates from current_ (frame position_) towards next_.
    Frame current_;
    Frame next_;
    bool haveCurrent_ = false;
    bool haveNext_ = false;
    uint64_t position_ = 0;
    uint32_t fraction_ = 0;
    uint64_t endFrame_ = NO_FRAME;
    bool playing_ = false;
    bool paused_ = false;
    bool atEnd_ = false;
    HWND notifyWindow_ = nullptr;
};
