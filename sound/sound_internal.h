// Shared inside the sound library only.
#pragma once

#include <mutex>

#include "sound/quibsound.h"

// Guards slot bookkeeping (taking, clearing, releasing slots and their chain events) against the
// chain callback thread and the stream fill thread. Recursive: FreeSample clears, the callback plays.
std::recursive_mutex& SndSlotLock();

// Marks an event entry whose sample was freed while its stop signal may still be pending: the entry
// is reused only after the callback thread has taken that signal, so a late signal never starts the
// chain of the entry's next owner.
SNDSample* SndRetiredEvent();

// The entry of the event table whose sample is sample, or NULL.
_SNDEvent* SndFindEvent(SNDSample* sample);

// True when sample is a slot of the table.
bool SndIsSlot(const SNDSample* sample);

// The length field of a slot: data size x bits x 1000 / (rate x 8), rounded, with a 64-bit intermediate; -1
// when the rate is 0 or the result does not fit.
LONG SndLengthField(DWORD dataSize, DWORD bits, DWORD rate);

// Bytes from the file's position to its end (0 on error).
DWORD SndBytesToEnd(HANDLE file);

// Removes the buffer's position notifications (refused while it plays).
void SndForgetNotifications(IDirectSoundBuffer* buffer);

// Releases the buffers ClearSampleList forgot once they have stopped playing (all: every one, stopping
// it first), so that no buffer outlives the library.
void SndReleaseForgotten(bool all);
