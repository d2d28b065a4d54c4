#include "host/dsound/sound_device.h"

#include <algorithm>

#include "host/dsound/mixer.h"
#include "host/dsound/sound_buffer.h"
#include "host/win/window.h"

HOST_DEFINE_GUID(IID_IDirectSound, 0x51B0D500, 0x0001, 0x0000, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x01);
HOST_DEFINE_GUID(IID_IDirectSoundBuffer, 0x51B0D500, 0x0002, 0x0000, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x02);
HOST_DEFINE_GUID(IID_IDirectSoundNotify, 0x51B0D500, 0x0003, 0x0000, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x03);

namespace {

constexpr DWORD kSecondaryFlags = DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLFREQUENCY |
                                  DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPOSITIONNOTIFY |
                                  DSBCAPS_GETCURRENTPOSITION2;
constexpr DWORD kPrimaryAllowedFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLPAN |
                                       DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2;
// The largest secondary buffer accepted.
constexpr DWORD kMaxBufferBytes = 0x0FFFFFFF;

} // namespace

HostSoundDevice::~HostSoundDevice() {
    {
        std::lock_guard<std::mutex> guard(HostMixerLock());
        // Buffers the program never released are stopped and emptied with their device.
        for (HostSoundBuffer* buffer : buffers_)
            buffer->Orphan();
        buffers_.clear();
        primary_ = nullptr;
    }
    HostMixerRelease();
}

void HostSoundDevice::Forget(HostSoundBuffer* buffer) {
    buffers_.erase(std::remove(buffers_.begin(), buffers_.end(), buffer), buffers_.end());
    if (primary_ == buffer) primary_ = nullptr;
}

HRESULT HostSoundDevice::QueryInterface(REFIID riid, void** out) {
    return HostQuerySingle<IDirectSound>(this, IID_IDirectSound, riid, out);
}

HRESULT HostSoundDevice::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                                           LPUNKNOWN outer) {
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    if (!desc || desc->dwSize != sizeof(DSBUFFERDESC) || desc->dwReserved != 0) return DSERR_INVALIDPARAM;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
        if (desc->dwFlags & ~kPrimaryAllowedFlags) return DSERR_INVALIDPARAM;
        return CreatePrimary(desc->dwFlags, buffer);
    }
    return CreateSecondary(*desc, buffer);
}

HRESULT HostSoundDevice::CreatePrimary(DWORD flags, LPDIRECTSOUNDBUFFER* buffer) {
    std::lock_guard<std::mutex> guard(HostMixerLock());
    if (primary_) {
        // One primary buffer per device: asking again hands out the same one.
        primary_->AddRef();
    } else {
        primary_ = new HostSoundBuffer(this, flags);
    }
    *buffer = primary_;
    return DS_OK;
}

HRESULT HostSoundDevice::CreateSecondary(const DSBUFFERDESC& desc, LPDIRECTSOUNDBUFFER* buffer) {
    if (desc.dwFlags & ~kSecondaryFlags) return DSERR_INVALIDPARAM;
    if (!desc.lpwfxFormat) return DSERR_INVALIDPARAM;
    if (!HostIsPlayablePcm(*desc.lpwfxFormat)) return DSERR_BADFORMAT;
    if (desc.dwBufferBytes < desc.lpwfxFormat->nBlockAlign || desc.dwBufferBytes > kMaxBufferBytes)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(HostMixerLock());
    *buffer = new HostSoundBuffer(this, desc.dwFlags, *desc.lpwfxFormat, desc.dwBufferBytes);
    return DS_OK;
}

HRESULT HostSoundDevice::GetCaps(LPDSCAPS caps) {
    if (!caps || caps->dwSize != sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
    caps->dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT |
                    DSCAPS_CONTINUOUSRATE;
    caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
    caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
    return DS_OK;
}

HRESULT HostSoundDevice::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) {
    if (!duplicate) return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    auto* source = dynamic_cast<HostSoundBuffer*>(original);
    if (!source) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(HostMixerLock());
    if (source->IsPrimary()) return DSERR_INVALIDCALL;
    if (std::find(buffers_.begin(), buffers_.end(), source) == buffers_.end()) return DSERR_INVALIDCALL;
    *duplicate = new HostSoundBuffer(this, *source);
    return DS_OK;
}

HRESULT HostSoundDevice::SetCooperativeLevel(HWND window, DWORD level) {
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    if (!IsWindow(window)) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(HostMixerLock());
    window_ = window;
    level_ = level;
    return DS_OK;
}

HRESULT HostSoundDevice::Compact() {
    std::lock_guard<std::mutex> guard(HostMixerLock());
    return level_ >= DSSCL_PRIORITY ? DS_OK : DSERR_PRIOLEVELNEEDED;
}

HRESULT DirectSoundCreate(LPGUID device, LPDIRECTSOUND* sound, LPUNKNOWN outer) {
    if (!sound) return DSERR_INVALIDPARAM;
    *sound = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    // Only the default device exists.
    if (device) return DSERR_NODRIVER;
    if (!HostMixerAcquire()) return DSERR_NODRIVER;
    *sound = new HostSoundDevice();
    return DS_OK;
}
