// The sound device and its buffers: a software mixer behind the platform's sound interfaces. Every
// playing secondary buffer is resampled to the output rate, scaled by its volume and pan, and summed
// into the machine's audio output (host/backend/audio.h). Position notifications are signalled from
// the mixer as the play cursor moves past them.
#pragma once

#include "host/base/export.h"
#include "host/base/results.h"
#include "host/base/unknown.h"

// PCM sample format of a buffer: 8-bit unsigned or 16-bit signed little-endian samples, 1 or 2
// interleaved channels. Fields sit at the offsets of a RIFF "fmt " chunk.
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec; // must be nBlockAlign * nSamplesPerSec
    WORD nBlockAlign;      // must be nChannels * wBitsPerSample / 8
    WORD wBitsPerSample;
    WORD cbSize;
};
typedef WAVEFORMATEX* LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

#define WAVE_FORMAT_PCM 1

// Buffer capabilities, asked for in DSBUFFERDESC::dwFlags and reported by GetCaps.
#define DSBCAPS_PRIMARYBUFFER       0x00000001u
#define DSBCAPS_STATIC              0x00000002u
#define DSBCAPS_LOCSOFTWARE         0x00000008u
#define DSBCAPS_CTRLFREQUENCY       0x00000020u
#define DSBCAPS_CTRLPAN             0x00000040u
#define DSBCAPS_CTRLVOLUME          0x00000080u
#define DSBCAPS_CTRLPOSITIONNOTIFY  0x00000100u
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000u

// Play flags.
#define DSBPLAY_LOOPING 0x00000001u

// GetStatus bits.
#define DSBSTATUS_PLAYING 0x00000001u
#define DSBSTATUS_LOOPING 0x00000004u

// Cooperative levels.
#define DSSCL_NORMAL       1
#define DSSCL_PRIORITY     2
#define DSSCL_EXCLUSIVE    3
#define DSSCL_WRITEPRIMARY 4

// Device capability bits (DSCAPS::dwFlags).
#define DSCAPS_PRIMARYMONO    0x00000001u
#define DSCAPS_PRIMARYSTEREO  0x00000002u
#define DSCAPS_PRIMARY8BIT    0x00000004u
#define DSCAPS_PRIMARY16BIT   0x00000008u
#define DSCAPS_CONTINUOUSRATE 0x00000010u

// Volume in hundredths of a decibel (gain = 10^(volume / 2000)); the minimum is silence.
#define DSBVOLUME_MIN (-10000)
#define DSBVOLUME_MAX 0
// Pan in hundredths of a decibel of attenuation of the opposite channel: negative attenuates the
// right channel, positive the left; the extremes silence it.
#define DSBPAN_LEFT   (-10000)
#define DSBPAN_CENTER 0
#define DSBPAN_RIGHT  10000
// Playback frequency range in Hz; DSBFREQUENCY_ORIGINAL restores the buffer format's rate.
#define DSBFREQUENCY_ORIGINAL 0
#define DSBFREQUENCY_MIN      100
#define DSBFREQUENCY_MAX      200000

// Offset of a notification that fires when the buffer stops instead of at a play position.
#define DSBPN_OFFSETSTOP 0xFFFFFFFFu

struct DSBUFFERDESC {
    DWORD dwSize; // sizeof(DSBUFFERDESC)
    DWORD dwFlags;
    DWORD dwBufferBytes;        // 0 for the primary buffer
    DWORD dwReserved;           // 0
    LPWAVEFORMATEX lpwfxFormat; // NULL for the primary buffer
};
typedef DSBUFFERDESC* LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

struct DSCAPS {
    DWORD dwSize; // sizeof(DSCAPS)
    DWORD dwFlags;
    DWORD dwMinSecondarySampleRate;
    DWORD dwMaxSecondarySampleRate;
};
typedef DSCAPS* LPDSCAPS;

struct DSBCAPS {
    DWORD dwSize; // sizeof(DSBCAPS)
    DWORD dwFlags;
    DWORD dwBufferBytes;
};
typedef DSBCAPS* LPDSBCAPS;

struct DSBPOSITIONNOTIFY {
    DWORD dwOffset; // a byte offset in the buffer, or DSBPN_OFFSETSTOP
    HANDLE hEventNotify;
};
typedef DSBPOSITIONNOTIFY* LPDSBPOSITIONNOTIFY;
typedef const DSBPOSITIONNOTIFY* LPCDSBPOSITIONNOTIFY;

HOST_DECLARE_GUID(IID_IDirectSound);
HOST_DECLARE_GUID(IID_IDirectSoundBuffer);
HOST_DECLARE_GUID(IID_IDirectSoundNotify);

// A sound buffer: the primary buffer (the device's output format) or a secondary buffer holding PCM
// sound that plays into it.
class IDirectSoundBuffer : public IUnknown {
  public:
    // The capabilities the buffer was made with (plus DSBCAPS_LOCSOFTWARE) and its size in bytes.
    virtual HRESULT GetCaps(LPDSBCAPS caps) = 0;
    // The play cursor and the write cursor (where it is safe to write), in bytes; either may be NULL.
    // A stopped buffer reports both at its position.
    virtual HRESULT GetCurrentPosition(LPDWORD play, LPDWORD write) = 0;
    // Copies the format into format (size bytes available); written receives the bytes copied. With
    // format NULL, written receives the size needed.
    virtual HRESULT GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written) = 0;
    // DSBSTATUS_PLAYING while playing, with DSBSTATUS_LOOPING when it plays looping.
    virtual HRESULT GetStatus(LPDWORD status) = 0;
    // Gives writable memory for bytes bytes from offset: the first part up to the buffer's end, the
    // rest (wrapping to the start) in the second part. The bytes reach the buffer at Unlock.
    // Secondary buffers only; flags must be 0.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2,
                         LPDWORD bytes2, DWORD flags) = 0;
    // Starts playing from the current position (DSBPLAY_LOOPING: for ever); on a playing buffer,
    // changes only the looping. The primary buffer must play looping.
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    // Moves the play cursor (rounded down to a whole sample frame). Secondary buffers only.
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    // Sets the primary buffer's format (needs DSSCL_PRIORITY or higher). Secondary buffers refuse.
    virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
    // Volume, pan and frequency: refused with DSERR_CONTROLUNAVAIL on a buffer made without the
    // matching DSBCAPS_CTRL* flag.
    virtual HRESULT SetVolume(LONG volume) = 0;
    virtual HRESULT SetPan(LONG pan) = 0;
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    // Stops playing and keeps the position; signals the stop notification when it was playing.
    virtual HRESULT Stop() = 0;
    // Ends a Lock: bytes1 and bytes2 (at most what Lock gave) are the bytes written to each part.
    virtual HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) = 0;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

// The notification interface of a secondary buffer made with DSBCAPS_CTRLPOSITIONNOTIFY.
class IDirectSoundNotify : public IUnknown {
  public:
    // Replaces the buffer's notifications (count 0 removes them). Each event is signalled with SetEvent
    // when the play cursor moves past its offset, or when the buffer stops (DSBPN_OFFSETSTOP: at its
    // end, or by Stop). Refused with DSERR_INVALIDCALL while the buffer plays.
    virtual HRESULT SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY positions) = 0;
};
typedef IDirectSoundNotify* LPDIRECTSOUNDNOTIFY;

// The sound device.
class IDirectSound : public IUnknown {
  public:
    // Creates the primary buffer (one per device: asking again gives the same one) or a secondary
    // buffer of the given PCM format and size. outer must be NULL.
    virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) = 0;
    virtual HRESULT GetCaps(LPDSCAPS caps) = 0;
    // A new secondary buffer playing the same sound data (shared, not copied) with its own position,
    // status, volume, pan, frequency and notifications.
    virtual HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) = 0;
    // Binds the device to a window at a cooperative level (DSSCL_*).
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    // Tidies the device's memory; needs DSSCL_PRIORITY or higher.
    virtual HRESULT Compact() = 0;
};
typedef IDirectSound* LPDIRECTSOUND;

// Creates the sound device. device must be NULL (the default device) and outer NULL. Fails with
// DSERR_NODRIVER when the machine has no audio output.
HOST_API HRESULT DirectSoundCreate(LPGUID device, LPDIRECTSOUND* sound, LPUNKNOWN outer);
