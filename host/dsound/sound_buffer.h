// The sound buffers behind IDirectSoundBuffer: the primary buffer of a device and the secondary
// buffers that play into it through the mixer. Every member touches state shared with the mixer
// thread, so each takes the mixer lock (the functions documented "lock held" expect it taken).
#pragma once

#include <memory>
#include <vector>

#include "host/dsound/dsound.h"
#include "host/dsound/mixer.h"

class HostSoundDevice;

// The PCM bytes of a secondary buffer; duplicates share one.
struct HostSoundData {
    WAVEFORMATEX format;
    std::vector<BYTE> bytes;
};

// True when format is PCM that the mixer plays: 1 or 2 channels of 8 or 16 bits, a rate in
// [DSBFREQUENCY_MIN, DSBFREQUENCY_MAX], and consistent block align and byte rate.
bool HostIsPlayablePcm(const WAVEFORMATEX& format);

class HostSoundBuffer final : public IDirectSoundBuffer, public RefCount, public HostMixSource {
  public:
    // Lock held: a new secondary buffer of bytes bytes (silent) in format, registered with device.
    HostSoundBuffer(HostSoundDevice* device, DWORD flags, const WAVEFORMATEX& format, DWORD bytes);
    // Lock held: a new secondary buffer sharing original's data, flags and settings.
    HostSoundBuffer(HostSoundDevice* device, const HostSoundBuffer& original);
    // Lock held: the primary buffer of device.
    HostSoundBuffer(HostSoundDevice* device, DWORD flags);
    ~HostSoundBuffer() override;

    bool IsPrimary() const { return primary_; }
    // Lock held: the buffer's device is going away. Stops without notifying, frees the sound data and
    // forgets the device; every later call fails with DSERR_BUFFERLOST.
    void Orphan();

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT GetCaps(LPDSBCAPS caps) override;
    HRESULT GetCurrentPosition(LPDWORD play, LPDWORD write) override;
    HRESULT GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written) override;
    HRESULT GetStatus(LPDWORD status) override;
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                 DWORD flags) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT SetCurrentPosition(DWORD position) override;
    HRESULT SetFormat(LPCWAVEFORMATEX format) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT Stop() override;
    HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) override;

    bool MixInto(float* mix, int frames, int rate) override;

  private:
    // The IDirectSoundNotify face of the buffer; it shares the buffer's reference count.
    class NotifyFace final : public IDirectSoundNotify {
      public:
        explicit NotifyFace(HostSoundBuffer* owner) : owner_(owner) {}
        HRESULT QueryInterface(REFIID riid, void** out) override { return owner_->QueryInterface(riid, out); }
        ULONG AddRef() override { return owner_->AddRefShared(); }
        ULONG Release() override { return owner_->ReleaseShared(); }
        HRESULT SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY positions) override {
            return owner_->SetNotifications(count, positions);
        }

      private:
        HostSoundBuffer* owner_;
    };

    // Memory handed out by Lock until its Unlock copies it into the buffer.
    struct PendingLock {
        DWORD offset;
        DWORD bytes1;
        DWORD bytes2;
        std::unique_ptr<BYTE[]> staging;
    };

    HRESULT SetNotifications(DWORD count, LPCDSBPOSITIONNOTIFY positions);
    // Lock held: the usable state check shared by the secondary-only calls.
    HRESULT CheckSecondary() const;
    void UpdateGains();
    void UpdateMasterGain() const;
    void ReadFrame(DWORD frame, float& left, float& right) const;
    // Lock held: signals the notifications whose frame lies in [from, to) (wrapped: from the end
    // round to to).
    void SignalPassed(DWORD from, DWORD to, bool wrapped) const;
    void SignalStop() const;
    // Lock held: stops playing; notifies the stop when it was playing.
    void StopPlaying(bool notify);

    NotifyFace notifyFace_{this};
    HostSoundDevice* device_;
    bool primary_;
    DWORD flags_;
    WAVEFORMATEX format_{};
    DWORD bytes_ = 0;
    DWORD frames_ = 0; // whole sample frames in bytes_
    std::shared_ptr<HostSoundData> data_;
    std::vector<PendingLock> locks_;
    std::vector<DSBPOSITIONNOTIFY> notifications_;

    bool playing_ = false;
    bool looping_ = false;
    DWORD position_ = 0;    // play cursor in frames
    uint32_t fraction_ = 0; // between position_ and the next frame, in 2^-32 steps
    LONG volume_ = 0;
    LONG pan_ = 0;
    DWORD frequency_ = 0;
    float gainLeft_ = 1.0f;
    float gainRight_ = 1.0f;
};
