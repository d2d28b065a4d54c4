// The sound device behind IDirectSound: its window and cooperative level, its primary buffer, and the
// buffers it made (which it stops and frees when it goes, so nothing outlives it).
#pragma once

#include <vector>

#include "host/dsound/dsound.h"

class HostSoundBuffer;

class HostSoundDevice final : public IDirectSound, public RefCount {
  public:
    // Takes a use of the mixer's output; the caller checked HostMixerAcquire succeeded.
    HostSoundDevice() = default;
    ~HostSoundDevice() override;

    // Lock held: the cooperative level (0 before SetCooperativeLevel).
    DWORD Level() const { return level_; }
    // Lock held: a buffer made by this device was created or is being destroyed.
    void Register(HostSoundBuffer* buffer) { buffers_.push_back(buffer); }
    void Forget(HostSoundBuffer* buffer);

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) override;
    HRESULT GetCaps(LPDSCAPS caps) override;
    HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;
    HRESULT Compact() override;

  private:
    HRESULT CreatePrimary(DWORD flags, LPDIRECTSOUNDBUFFER* buffer);
    HRESULT CreateSecondary(const DSBUFFERDESC& desc, LPDIRECTSOUNDBUFFER* buffer);

    HWND window_ = nullptr;
    DWORD level_ = 0;
    HostSoundBuffer* primary_ = nullptr;
    std::vector<HostSoundBuffer*> buffers_;
};
