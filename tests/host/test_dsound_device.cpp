// The sound device and its buffers: creation and its refusals, the primary buffer, locks, reference
// counts, and what happens without an audio device.
#include "test_dsound_support.h"

namespace {

using DsoundDeviceTest = DsoundTest;

DSBUFFERDESC SecondaryDesc(DWORD flags, DWORD bytes, WAVEFORMATEX* format) {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = format;
    return desc;
}

TEST_F(DsoundDeviceTest, PlayableFormatsAreAccepted) {
    const int shapes[][3] = {{1, 8, 11025}, {2, 8, 22050}, {1, 16, 8000}, {2, 16, 44100}, {2, 16, 96000}};
    for (const auto& shape : shapes) {
        WAVEFORMATEX format = PcmFormat(shape[0], shape[1], shape[2]);
        DSBUFFERDESC desc = SecondaryDesc(DSBCAPS_STATIC, 64, &format);
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK) << shape[0] << "x" << shape[1];
        ASSERT_NE(buffer, nullptr);
        WAVEFORMATEX back{};
        DWORD written = 0;
        ASSERT_EQ(buffer->GetFormat(&back, sizeof back, &written), DS_OK);
        EXPECT_EQ(written, sizeof back);
        EXPECT_EQ(back.nSamplesPerSec, DWORD(shape[2]));
        EXPECT_EQ(back.nBlockAlign, format.nBlockAlign);
        EXPECT_EQ(buffer->Release(), 0u);
    }
}

TEST_F(DsoundDeviceTest, BadFormatsAreRefused) {
    struct Case {
        const char* what;
        void (*spoil)(WAVEFORMATEX&);
    };
    const Case cases[] = {
        {"not PCM", [](WAVEFORMATEX& f) { f.wFormatTag = 3; }},
        {"no channels",
         [](WAVEFORMATEX& f) {
             f.nChannels = 0;
             f.nBlockAlign = 0;
             f.nAvgBytesPerSec = 0;
         }},
        {"three channels",
         [](WAVEFORMATEX& f) {
             f.nChannels = 3;
             f.nBlockAlign = 6;
             f.nAvgBytesPerSec = 6 * 22050;
         }},
        {"24 bits",
         [](WAVEFORMATEX& f) {
             f.wBitsPerSample = 24;
             f.nBlockAlign = 3;
             f.nAvgBytesPerSec = 3 * 22050;
         }},
        {"12 bits", [](WAVEFORMATEX& f) { f.wBitsPerSample = 12; }},
        {"rate 0",
         [](WAVEFORMATEX& f) {
             f.nSamplesPerSec = 0;
             f.nAvgBytesPerSec = 0;
         }},
        {"rate too high",
         [](WAVEFORMATEX& f) {
             f.nSamplesPerSec = 400000;
             f.nAvgBytesPerSec = 800000;
         }},
        {"block align", [](WAVEFORMATEX& f) { f.nBlockAlign = 4; }},
        {"byte rate", [](WAVEFORMATEX& f) { f.nAvgBytesPerSec = 1; }},
    };
    for (const Case& c : cases) {
        WAVEFORMATEX format = PcmFormat(1, 16, 22050);
        c.spoil(format);
        DSBUFFERDESC desc = SecondaryDesc(DSBCAPS_STATIC, 64, &format);
        IDirectSoundBuffer* buffer = reinterpret_cast<IDirectSoundBuffer*>(uintptr_t{1});
        EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT) << c.what;
        EXPECT_EQ(buffer, nullptr) << c.what;
    }
}

TEST_F(DsoundDeviceTest, BadDescriptionsAreRefused) {
    WAVEFORMATEX format = PcmFormat(2, 16, 22050);
    IDirectSoundBuffer* buffer = nullptr;
    DSBUFFERDESC empty = SecondaryDesc(DSBCAPS_STATIC, 0, &format);
    EXPECT_EQ(ds_->CreateSoundBuffer(&empty, &buffer, nullptr), DSERR_INVALIDPARAM);
    DSBUFFERDESC partFrame = SecondaryDesc(DSBCAPS_STATIC, 3, &format);
    EXPECT_EQ(ds_->CreateSoundBuffer(&partFrame, &buffer, nullptr), DSERR_INVALIDPARAM);
    DSBUFFERDESC noFormat = SecondaryDesc(DSBCAPS_STATIC, 64, nullptr);
    EXPECT_EQ(ds_->CreateSoundBuffer(&noFormat, &buffer, nullptr), DSERR_INVALIDPARAM);
    DSBUFFERDESC badSize = SecondaryDesc(DSBCAPS_STATIC, 64, &format);
    badSize.dwSize = 8;
    EXPECT_EQ(ds_->CreateSoundBuffer(&badSize, &buffer, nullptr), DSERR_INVALIDPARAM);
    DSBUFFERDESC unknownFlag = SecondaryDesc(0x40000000u, 64, &format);
    EXPECT_EQ(ds_->CreateSoundBuffer(&unknownFlag, &buffer, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(ds_->CreateSoundBuffer(nullptr, &buffer, nullptr), DSERR_INVALIDPARAM);
    DSBUFFERDESC good = SecondaryDesc(DSBCAPS_STATIC, 64, &format);
    EXPECT_EQ(ds_->CreateSoundBuffer(&good, nullptr, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(ds_->CreateSoundBuffer(&good, &buffer, reinterpret_cast<IUnknown*>(ds_)), DSERR_NOAGGREGATION);
    EXPECT_EQ(buffer, nullptr);
}

TEST_F(DsoundDeviceTest, CapsReportTheFlagsAndSize) {
    WAVEFORMATEX format = PcmFormat(1, 8, 11025);
    DSBUFFERDESC desc = SecondaryDesc(DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY, 100, &format);
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    DSBCAPS caps{};
    EXPECT_EQ(buffer->GetCaps(&caps), DSERR_INVALIDPARAM); // dwSize not set
    caps.dwSize = sizeof caps;
    ASSERT_EQ(buffer->GetCaps(&caps), DS_OK);
    EXPECT_EQ(caps.dwBufferBytes, 100u);
    EXPECT_EQ(caps.dwFlags & (DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY),
              DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY);
    EXPECT_EQ(caps.dwFlags & DSBCAPS_CTRLVOLUME, 0u);
    EXPECT_NE(caps.dwFlags & DSBCAPS_LOCSOFTWARE, 0u);
    DSCAPS deviceCaps{};
    deviceCaps.dwSize = sizeof deviceCaps;
    ASSERT_EQ(ds_->GetCaps(&deviceCaps), DS_OK);
    EXPECT_NE(deviceCaps.dwFlags & DSCAPS_PRIMARYSTEREO, 0u);
    EXPECT_NE(deviceCaps.dwFlags & DSCAPS_PRIMARY16BIT, 0u);
    buffer->Release();
}

TEST_F(DsoundDeviceTest, LockWrapsPastTheEndIntoASecondPart) {
    WAVEFORMATEX format = PcmFormat(1, 8, 8000);
    IDirectSoundBuffer* buffer = MakeBuffer(DSBCAPS_STATIC, format, std::vector<BYTE>(16, 0x80));
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    ASSERT_EQ(buffer->Lock(12, 8, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
    EXPECT_EQ(bytes1, 4u);
    EXPECT_EQ(bytes2, 4u);
    ASSERT_NE(part2, nullptr);
    std::memset(part1, 0xA1, bytes1);
    std::memset(part2, 0xB2, bytes2);
    ASSERT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);

    ASSERT_EQ(buffer->Lock(0, 16, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
    EXPECT_EQ(bytes2, 0u);
    EXPECT_EQ(part2, nullptr);
    const BYTE* bytes = static_cast<const BYTE*>(part1);
    for (int i = 0; i < 16; ++i) {
        BYTE expected = i < 4 ? 0xB2 : i >= 12 ? 0xA1 : 0x80;
        EXPECT_EQ(bytes[i], expected) << "byte " << i;
    }
    ASSERT_EQ(buffer->Unlock(part1, 0, nullptr, 0), DS_OK);
    buffer->Release();
}

TEST_F(DsoundDeviceTest, UnlockWritesOnlyTheBytesItIsGiven) {
    WAVEFORMATEX format = PcmFormat(1, 8, 8000);
    IDirectSoundBuffer* buffer = MakeBuffer(DSBCAPS_STATIC, format, std::vector<BYTE>(8, 0x10));
    void* part1 = nullptr;
    DWORD bytes1 = 0;
    ASSERT_EQ(buffer->Lock(0, 8, &part1, &bytes1, nullptr, nullptr, 0), DS_OK);
    std::memset(part1, 0x77, 8);
    ASSERT_EQ(buffer->Unlock(part1, 3, nullptr, 0), DS_OK);
    ASSERT_EQ(buffer->Lock(0, 8, &part1, &bytes1, nullptr, nullptr, 0), DS_OK);
    const BYTE* bytes = static_cast<const BYTE*>(part1);
    EXPECT_EQ(bytes[2], 0x77);
    EXPECT_EQ(bytes[3], 0x10);
    ASSERT_EQ(buffer->Unlock(part1, 0, nullptr, 0), DS_OK);
    buffer->Release();
}

TEST_F(DsoundDeviceTest, LockWithoutASecondPartStopsAtTheEnd) {
    WAVEFORMATEX format = PcmFormat(1, 8, 8000);
    IDirectSoundBuffer* buffer = MakeBuffer(DSBCAPS_STATIC, format, std::vector<BYTE>(16, 0x80));
    void* part1 = nullptr;
    DWORD bytes1 = 0;
    ASSERT_EQ(buffer->Lock(10, 10, &part1, &bytes1, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(bytes1, 6u);
    ASSERT_EQ(buffer->Unlock(part1, bytes1, nullptr, 0), DS_OK);
    buffer->Release();
}

TEST_F(DsoundDeviceTest, BadLocksAndUnlocksAreRefused) {
    WAVEFORMATEX format = PcmFormat(1, 16, 8000);
    IDirectSoundBuffer* buffer = MakeBuffer(DSBCAPS_STATIC, format, std::vector<BYTE>(16, 0));
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    EXPECT_EQ(buffer->Lock(0, 17, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(16, 1, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 0, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 4, nullptr, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->Lock(8, 12, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
    BYTE stranger[16];
    EXPECT_EQ(buffer->Unlock(stranger, 4, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(part1, bytes1 + 1, part2, bytes2), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(part1, bytes1, stranger, bytes2), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
    // A lock is ended once.
    EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(DsoundDeviceTest, PrimaryBufferIsOnePerDeviceAndTakesAFormatAtPriorityLevel) {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    IDirectSoundBuffer* again = nullptr;
    ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &again, nullptr), DS_OK);
    EXPECT_EQ(again, primary);
    EXPECT_EQ(again->Release(), 1u);

    WAVEFORMATEX format = PcmFormat(2, 16, 22050);
    ASSERT_EQ(ds_->SetCooperativeLevel(window_, DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(primary->SetFormat(&format), DSERR_PRIOLEVELNEEDED);
    ASSERT_EQ(ds_->SetCooperativeLevel(window_, DSSCL_EXCLUSIVE), DS_OK);
    WAVEFORMATEX bad = format;
    bad.nBlockAlign = 1;
    EXPECT_EQ(primary->SetFormat(&bad), DSERR_BADFORMAT);
    WAVEFORMATEX mono8 = PcmFormat(1, 8, 11025);
    ASSERT_EQ(primary->SetFormat(&mono8), DS_OK);
    WAVEFORMATEX back{};
    ASSERT_EQ(primary->GetFormat(&back, sizeof back, nullptr), DS_OK);
    EXPECT_EQ(back.nChannels, 1);
    EXPECT_EQ(back.wBitsPerSample, 8);
    EXPECT_EQ(back.nSamplesPerSec, 11025u);

    // It plays only looping, holds no sound of its own and has no notifications.
    EXPECT_EQ(primary->Play(0, 0, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(primary->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(Status(primary), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    void* part1 = nullptr;
    DWORD bytes1 = 0;
    EXPECT_EQ(primary->Lock(0, 4, &part1, &bytes1, nullptr, nullptr, 0), DSERR_INVALIDCALL);
    EXPECT_EQ(primary->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    void* notify = nullptr;
    EXPECT_EQ(primary->QueryInterface(IID_IDirectSoundNotify, &notify), E_NOINTERFACE);
    IDirectSoundBuffer* duplicate = nullptr;
    EXPECT_EQ(ds_->DuplicateSoundBuffer(primary, &duplicate), DSERR_INVALIDCALL);
    ASSERT_EQ(primary->Stop(), DS_OK);
    EXPECT_EQ(Status(primary), 0u);
    EXPECT_EQ(primary->Release(), 0u);
}

TEST_F(DsoundDeviceTest, PrimaryRefusesSecondaryOnlyDescriptions) {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLPOSITIONNOTIFY;
    IDirectSoundBuffer* primary = nullptr;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &primary, nullptr), DSERR_INVALIDPARAM);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    desc.dwBufferBytes = 1024;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &primary, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(primary, nullptr);
}

TEST_F(DsoundDeviceTest, SecondaryBuffersRefuseTheFormatCall) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 22050, {1, 2});
    WAVEFORMATEX format = PcmFormat(1, 16, 44100);
    EXPECT_EQ(buffer->SetFormat(&format), DSERR_INVALIDCALL);
    EXPECT_EQ(buffer->Play(0, 0, 0x80), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Play(1, 0, 0), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(DsoundDeviceTest, CooperativeLevelNeedsAWindowAndAKnownLevel) {
    EXPECT_EQ(ds_->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DSERR_INVALIDPARAM);
    EXPECT_EQ(ds_->SetCooperativeLevel(reinterpret_cast<HWND>(uintptr_t{0x7777}), DSSCL_PRIORITY),
              DSERR_INVALIDPARAM);
    EXPECT_EQ(ds_->SetCooperativeLevel(window_, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(ds_->SetCooperativeLevel(window_, 9), DSERR_INVALIDPARAM);
    ASSERT_EQ(ds_->SetCooperativeLevel(window_, DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(ds_->Compact(), DSERR_PRIOLEVELNEEDED);
    ASSERT_EQ(ds_->SetCooperativeLevel(window_, DSSCL_EXCLUSIVE), DS_OK);
    EXPECT_EQ(ds_->Compact(), DS_OK);
}

TEST_F(DsoundDeviceTest, InterfacesShareOneReferenceCount) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_CTRLPOSITIONNOTIFY, 22050, {1, 2});
    IDirectSoundNotify* notify = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), S_OK);
    ASSERT_NE(notify, nullptr);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(notify->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(buffer));
    EXPECT_EQ(unknown->Release(), 2u);
    EXPECT_EQ(buffer->Release(), 1u);
    EXPECT_EQ(notify->Release(), 0u);

    void* none = nullptr;
    IDirectSoundBuffer* plain = MakeMono16(DSBCAPS_STATIC, 22050, {1, 2});
    EXPECT_EQ(plain->QueryInterface(IID_IDirectSoundNotify, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(plain->Release(), 0u);

    IDirectSound* same = nullptr;
    ASSERT_EQ(ds_->QueryInterface(IID_IDirectSound, reinterpret_cast<void**>(&same)), S_OK);
    EXPECT_EQ(same, ds_);
    EXPECT_EQ(same->Release(), 1u);
}

TEST_F(DsoundDeviceTest, BuffersLeftBehindAreEmptiedWithTheirDevice) {
    IDirectSoundBuffer* buffer = MakeMono16(DSBCAPS_STATIC, 44100, std::vector<int16_t>(100, 900));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(ds_->Release(), 0u);
    ds_ = nullptr;
    // The output closed with the last device; the forgotten buffer stops and answers that it is lost.
    EXPECT_EQ(HostAudioNullRender(4, nullptr), 0);
    DWORD status = 0;
    EXPECT_EQ(buffer->GetStatus(&status), DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->Release(), 0u);
}

TEST_F(DsoundDeviceTest, TwoDevicesShareTheOutput) {
    IDirectSound* second = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &second, nullptr), DS_OK);
    ASSERT_EQ(second->SetCooperativeLevel(window_, DSSCL_NORMAL), DS_OK);
    WAVEFORMATEX format = PcmFormat(1, 16, 44100);
    DSBUFFERDESC desc = SecondaryDesc(DSBCAPS_STATIC, 4, &format);
    IDirectSoundBuffer* theirs = nullptr;
    ASSERT_EQ(second->CreateSoundBuffer(&desc, &theirs, nullptr), DS_OK);
    Fill(theirs, {0x10, 0x00, 0x10, 0x00});
    IDirectSoundBuffer* ours = MakeMono16(DSBCAPS_STATIC, 44100, {0x20, 0x20});
    ASSERT_EQ(theirs->Play(0, 0, 0), DS_OK);
    ASSERT_EQ(ours->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Render(1);
    EXPECT_EQ(out[0], 0x30);
    // A device only duplicates its own buffers.
    IDirectSoundBuffer* duplicate = nullptr;
    EXPECT_EQ(second->DuplicateSoundBuffer(ours, &duplicate), DSERR_INVALIDCALL);
    theirs->Release();
    EXPECT_EQ(second->Release(), 0u);
    // Our device still plays.
    ASSERT_EQ(ours->Play(0, 0, 0), DS_OK);
    out = Render(1);
    EXPECT_EQ(out[0], 0x20);
    ours->Release();
}

TEST(DsoundNoDevice, CreationFailsWithNoDriverWhenTheMachineHasNoAudio) {
    HostMachine saved = HostGetMachine();
    HostMachine silent = saved;
    silent.audioDevice = false;
    HostSetMachine(silent);
    IDirectSound* ds = reinterpret_cast<IDirectSound*>(uintptr_t{1});
    EXPECT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(ds, nullptr);
    EXPECT_EQ(HostAudioNullRate(), 0);
    HostSetMachine(saved);
    // With the machine's audio back, creation works again.
    ASSERT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DS_OK);
    EXPECT_EQ(ds->Release(), 0u);
}

TEST(DsoundNoDevice, OnlyTheDefaultDeviceExists) {
    GUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    IDirectSound* ds = nullptr;
    EXPECT_EQ(DirectSoundCreate(&other, &ds, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(ds, nullptr);
    EXPECT_EQ(DirectSoundCreate(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
}

} // namespace
