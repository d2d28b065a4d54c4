#include "host/dsound/sound_buffer.h"

#include <algorithm>
#include <cstring>

#include "host/dsound/sound_device.h"
#include "host/win/threads.h"

namespace {

constexpr DWORD kPrimaryFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN |
                                DSBCAPS_LOCSOFTWARE | DSBCAPS_GETCURRENTPOSITION2;

// The format the primary buffer reports until SetFormat.
constexpr WAVEFORMATEX kDefaultPrimaryFormat = {WAVE_FORMAT_PCM, 2, 22050, 22050 * 4, 4, 16, 0};

std::unique_lock<std::mutex> MixerGuard() {
    return std::unique_lock<std::mutex>(HostMixerLock());
}

} // namespace

bool HostIsPlayablePcm(const WAVEFORMATEX& format) {
    if (format.wFormatTag != WAVE_FORMAT_PCM) return false;
    if (format.nChannels != 1 && format.nChannels != 2) return false;
    if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) return false;
    if (format.nSamplesPerSec < DSBFREQUENCY_MIN || format.nSamplesPerSec > DSBFREQUENCY_MAX) return false;
    if (format.nBlockAlign != format.nChannels * format.wBitsPerSample / 8) return false;
    return format.nAvgBytesPerSec == format.nBlockAlign * format.nSamplesPerSec;
}

HostSoundBuffer::HostSoundBuffer(HostSoundDevice* device, DWORD flags, const WAVEFORMATEX& format,
                                 DWORD bytes)
    : device_(device), primary_(false), flags_(flags | DSBCAPS_LOCSOFTWARE), format_(format), bytes_(bytes),
      frames_(bytes / format.nBlockAlign), data_(std::make_shared<HostSoundData>()),
      frequency_(format.nSamplesPerSec) {
    format_.cbSize = 0;
    data_->format = format_;
    // Silence: the middle of the range for unsigned 8-bit samples, zero for signed 16-bit ones.
    data_->bytes.assign(bytes, format.wBitsPerSample == 8 ? BYTE(0x80) : BYTE(0));
    device_->Register(this);
}

HostSoundBuffer::HostSoundBuffer(HostSoundDevice* device, const HostSoundBuffer& original)
    : device_(device), primary_(false), flags_(original.flags_), format_(original.format_),
      bytes_(original.bytes_), frames_(original.frames_), data_(original.data_), volume_(original.volume_),
      pan_(original.pan_), frequency_(original.frequency_) {
    UpdateGains();
    device_->Register(this);
}

HostSoundBuffer::HostSoundBuffer(HostSoundDevice* device, DWORD flags)
    : device_(device), primary_(true), flags_((flags & kPrimaryFlags) | DSBCAPS_LOCSOFTWARE),
      format_(kDefaultPrimaryFormat) {
    bytes_ = format_.nAvgBytesPerSec / 10 / format_.nBlockAlign * format_.nBlockAlign;
    frames_ = bytes_ / format_.nBlockAlign;
    frequency_ = format_.nSamplesPerSec;
    device_->Register(this);
}

HostSoundBuffer::~HostSoundBuffer() {
    auto guard = MixerGuard();
    HostMixerStop(this);
    if (primary_ && device_) HostMixerSetMasterGain(1.0f, 1.0f);
    if (device_) device_->Forget(this);
}

void HostSoundBuffer::Orphan() {
    HostMixerStop(this);
    if (primary_) HostMixerSetMasterGain(1.0f, 1.0f);
    playing_ = false;
    device_ = nullptr;
    data_.reset();
    locks_.clear();
    notifications_.clear();
}

HRESULT HostSoundBuffer::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirectSoundBuffer)) {
        AddRef();
        *out = static_cast<IDirectSoundBuffer*>(this);
        return S_OK;
    }
    if (IsEqualGUID(riid, IID_IDirectSoundNotify) && !primary_ && (flags_ & DSBCAPS_CTRLPOSITIONNOTIFY)) {
        AddRef();
        *out = static_cast<IDirectSoundNotify*>(&notifyFace_);
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT HostSoundBuffer::CheckSecondary() const {
    if (!device_) return DSERR_BUFFERLOST;
    if (primary_) return DSERR_INVALIDCALL;
    return DS_OK;
}

HRESULT HostSoundBuffer::GetCaps(LPDSBCAPS caps) {
    if (!caps || caps->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
    auto guard = MixerGuard();
    if (!device_) return DSERR_BUFFERLOST;
    caps->dwFlags = flags_;
    caps->dwBufferBytes = bytes_;
    return DS_OK;
}

HRESULT HostSoundBuffer::GetCurrentPosition(LPDWORD play, LPDWORD write) {
    auto guard = MixerGuard();
    if (!device_) return DSERR_BUFFERLOST;
    DWORD playFrame = primary_ ? 0 : position_;
    DWORD writeFrame = playFrame;
    if (playing_ && !primary_ && frames_ > 0) {
        // Writing is safe a little ahead of the play cursor: about 10 ms of sound.
        DWORD lead = std::max<DWORD>(1, frequency_ / 100);
        writeFrame = DWORD((uint64_t(playFrame) + lead) % frames_);
    }
    if (play) *play = playFrame * format_.nBlockAlign;
    if (write) *write = writeFrame * format_.nBlockAlign;
    return DS_OK;
}

HRESULT HostSoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written) {
    auto guard = MixerGuard();
    if (!device_) return DSERR_BUFFERLOST;
    if (!format) {
        if (!written) return DSERR_INVALIDPARAM;
        *written = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    DWORD copied = std::min<DWORD>(size, sizeof(WAVEFORMATEX));
    std::memcpy(format, &format_, copied);
    if (written) *written = copied;
    return DS_OK;
}

HRESULT HostSoundBuffer::GetStatus(LPDWORD status) {
    if (!status) return DSERR_INVALIDPARAM;
    auto guard = MixerGuard();
    if (!device_) return DSERR_BUFFERLOST;
    *status = 0;
    if (playing_) *status = DSBSTATUS_PLAYING | (looping_ ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

HRESULT HostSoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2,
                              LPDWORD bytes2, DWORD flags) {
    if (!part1 || !bytes1 || flags != 0) return DSERR_INVALIDPARAM;
    auto guard = MixerGuard();
    if (HRESULT check = CheckSecondary(); FAILED(check)) return check;
    if (bytes == 0 || bytes > bytes_ || offset >= bytes_) return DSERR_INVALIDPARAM;
    DWORD first = std::min(bytes, bytes_ - offset);
    // Without a second part the lock stops at the buffer's end.
    DWORD second = (part2 && bytes2) ? bytes - first : 0;
    PendingLock pending{offset, first, second, std::make_unique<BYTE[]>(size_t(first) + second)};
    std::memcpy(pending.staging.get(), data_->bytes.data() + offset, first);
    std::memcpy(pending.staging.get() + first, data_->bytes.data(), second);
    *part1 = pending.staging.get();
    *bytes1 = first;
    if (part2) *part2 = second ? pending.staging.get() + first : nullptr;
    if (bytes2) *bytes2 = second;
    locks_.push_back(std::move(pending));
    return DS_OK;
}

HRESULT HostSoundBuffer::Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) {
    auto guard = MixerGuard();
    if (HRESULT check = CheckSecondary(); FAILED(check)) return check;
    auto found = std::find_if(locks_.begin(), locks_.end(),
                              [part1](const PendingLock& lock) { return lock.staging.get() == part1; });
    if (!part1 || found == locks_.end()) return DSERR_INVALIDPARAM;
    const PendingLock& lock = *found;
    if (bytes1 > lock.bytes1 || bytes2 > lock.bytes2) return DSERR_INVALIDPARAM;
    if (bytes2 > 0 && part2 != lock.staging.get() + lock.bytes1) return DSERR_INVALIDPARAM;
    std::memcpy(data_->bytes.data() + lock.offset, lock.staging.get(), bytes1);
    std::memcpy(data_->bytes.data(), lock.staging.get() + lock.bytes1, bytes2);
    locks_.erase(found);
    return DS_OK;
}

HRESULT HostSoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
    if (reserved != 0 || priority != 0 || (flags & ~DSBPLAY_LOOPING) != 0) return DSERR_INVALIDPARAM;
    auto guard = MixerGuard();
    if (!device_) return DSERR_BUFFERLOST;
    bool looping = (flags & DSBPLAY_LOOPING) != 0;
    if (primary_) {
        if (!looping) return DSERR_INVALIDPARAM;
        playing_ = looping_ = true;
        return DS_OK;
    }
    looping_ = looping;
    if (!playing_) {
        playing_ = true;
        HostMixerStart(this);
    }
    return DS_OK;
}

HRESULT HostSoundBuffer::SetCurrentPosition(DWORD position) {
    auto guard = MixerGuard();
    if (HRESULT check = CheckSecondary(); FAILED(check)) return check;
    if (position >= bytes_) return DSERR_INVALIDPARAM;
    position_ = std::min(position / format_.nBlockAlign, frames_ > 0 ? frames_ - 1 : 0);
    fraction_ = 0;
    return DS_OK;
}

HRESULT HostSoundBuffer::SetFormat(LPCWAVEFORMATEX format) {
    if (!format) return DSERR_INVALIDPARAM;
    auto guard = MixerGuard();
    if (!device_) return DSERR_BUFFERLOST;
    if (!primary_) return DSERR_INVALIDCALL;
    if (device_->Level() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
    if (!HostIsPlayablePcm(*format)) return DSERR_BADFORMAT;
    // The mixer keeps its own output rate; the primary format is what the device reports.
    format_ = *format;
    format_.cbSize = 0;
    bytes_ = std::max<DWORD>(format_.nBlockAlign,
                             format_.nAvgBytesPerSec / 10 / format_.nBlockAlign * format_.nBlockAlign);
    frames_ = bytes_ / format_.nBlockAlign;
    frequency_ = format_.nSamplesPerSec;
    return DS_OK;
}

HRESULT HostSoundBuffer::SetVolume(LONG volume) {
    auto guard = MixerGuard();
    if (!device_) return DSERR_BUFFERLOST;
    if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    volume_ = volume;
    UpdateGains();
    return DS_OK;
}

HRESULT HostSoundBuffer::SetPan(LONG pan) {
    auto guard = MixerGuard();
    if (!device_) return DSERR_BUFFERLOST;
    if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    pan_ = pan;
    UpdateGains();
    return DS_OK;
}

HRESULT HostSoundBuffer::SetFrequency(DWORD frequency) {
    auto guard = MixerGuard();
    if (!device_) return DSERR_BUFFERLOST;
    if (!(flags_ & DSBCAPS_CTRLFREQUENCY) || primary_) return DSERR_CONTROLUNAVAIL;
    if (frequency == DSBFREQUENCY_ORIGINAL) frequency = format_.nSamplesPerSec;
    if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
    frequency_ = frequency;
    return DS_OK;
}

HRESULT HostSoundBuffer::Stop() {
    auto guard = MixerGuard();
    if (!device_) return DSERR_BUFFERLOST;
    if (primary_) {
        playing_ = looping_ = false;
        return DS_OK;
    }
    StopPlaying(true);
    return DS_OK;
}

HRESULT HostSoundBuffer::SetNotifications(DWORD count, LPCDSBPOSITIONNOTIFY positions) {
    if (count > 0 && !positions) return DSERR_INVALIDPARAM;
    auto guard = MixerGuard();
    if (HRESULT check = CheckSecondary(); FAILED(check)) return check;
    if (playing_) return DSERR_INVALIDCALL;
    // Every offset is a distinct byte of the buffer, plus one stop notification at most per event.
    if (count > uint64_t(bytes_) + 1) return DSERR_INVALIDPARAM;
    for (DWORD i = 0; i < count; ++i) {
        if (!positions[i].hEventNotify) return DSERR_INVALIDPARAM;
        if (positions[i].dwOffset != DSBPN_OFFSETSTOP && positions[i].dwOffset >= bytes_)
            return DSERR_INVALIDPARAM;
    }
    notifications_.assign(positions, positions + count);
    return DS_OK;
}

void HostSoundBuffer::UpdateGains() {
    float volume = HostCentibelsToGain(volume_);
    gainLeft_ = volume * (pan_ > 0 ? HostCentibelsToGain(-pan_) : 1.0f);
    gainRight_ = volume * (pan_ < 0 ? HostCentibelsToGain(pan_) : 1.0f);
    if (primary_) UpdateMasterGain();
}

void HostSoundBuffer::UpdateMasterGain() const {
    HostMixerSetMasterGain(gainLeft_, gainRight_);
}

void HostSoundBuffer::ReadFrame(DWORD frame, float& left, float& right) const {
    const BYTE* at = data_->bytes.data() + size_t(frame) * format_.nBlockAlign;
    if (format_.wBitsPerSample == 8) {
        left = float(int(at[0]) - 128) / 128.0f;
        right = format_.nChannels == 2 ? float(int(at[1]) - 128) / 128.0f : left;
    } else {
        left = float(int16_t(uint16_t(at[0] | (at[1] << 8)))) / 32768.0f;
        right = format_.nChannels == 2 ? float(int16_t(uint16_t(at[2] | (at[3] << 8)))) / 32768.0f : left;
    }
}

void HostSoundBuffer::SignalPassed(DWORD from, DWORD to, bool wrapped) const {
    for (const DSBPOSITIONNOTIFY& notification : notifications_) {
        if (notification.dwOffset == DSBPN_OFFSETSTOP) continue;
        // An offset in a trailing part-frame belongs to the last whole frame.
        DWORD frame = std::min(notification.dwOffset / format_.nBlockAlign, frames_ - 1);
        bool passed = wrapped ? (frame >= from || frame < to) : (frame >= from && frame < to);
        if (passed) SetEvent(notification.hEventNotify);
    }
}

void HostSoundBuffer::SignalStop() const {
    for (const DSBPOSITIONNOTIFY& notification : notifications_)
        if (notification.dwOffset == DSBPN_OFFSETSTOP) SetEvent(notification.hEventNotify);
}

void HostSoundBuffer::StopPlaying(bool notify) {
    bool wasPlaying = playing_;
    playing_ = looping_ = false;
    HostMixerStop(this);
    if (wasPlaying && notify) SignalStop();
}

bool HostSoundBuffer::MixInto(float* mix, int frames, int rate) {
    if (!playing_ || primary_ || !data_ || frames_ == 0) return false;
    if (rate <= 0) return true;
    // Source frames per output frame, in 32.32 fixed point, so long plays do not drift.
    const uint64_t step = (uint64_t(frequency_) << 32) / uint64_t(rate);
    const bool notifying = !notifications_.empty();
    for (int i = 0; i < frames; ++i) {
        float left0, right0, left1, right1;
        ReadFrame(position_, left0, right0);
        DWORD next = position_ + 1 < frames_ ? position_ + 1 : (looping_ ? 0 : position_);
        ReadFrame(next, left1, right1);
        float t = float(fraction_) * (1.0f / 4294967296.0f);
        mix[i * 2] += (left0 + (left1 - left0) * t) * gainLeft_;
        mix[i * 2 + 1] += (right0 + (right1 - right0) * t) * gainRight_;

        uint64_t advanced = uint64_t(fraction_) + step;
        fraction_ = uint32_t(advanced);
        uint64_t from = position_;
        uint64_t to = from + (advanced >> 32);
        if (to < frames_) {
            if (notifying && to != from) SignalPassed(DWORD(from), DWORD(to), false);
            position_ = DWORD(to);
            continue;
        }
        if (!looping_) {
            if (notifying) SignalPassed(DWORD(from), frames_, false);
            position_ = 0;
            fraction_ = 0;
            playing_ = false;
            SignalStop();
            return false;
        }
        position_ = DWORD(to % frames_);
        if (notifying) {
            if (to - from >= frames_)
                SignalPassed(0, frames_, false); // a whole lap in one step
            else
                SignalPassed(DWORD(from), position_, true);
        }
    }
    return true;
}
