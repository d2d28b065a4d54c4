// The menu's typed keys: the polled 256-byte key table (set-1 scan codes, bit 7 = down) turned into a
// ring of key-down events, each queued once when its key is first seen down. The message pump feeds it
// for every message it takes; the focused text field empties it. Main thread only.
#pragma once

// Set in a queued code when a shift key was held.
constexpr int kKeyShifted = 0x100;
// Scan codes the text fields act on.
constexpr int kScanBackspace = 14;
constexpr int kScanTab = 15;
constexpr int kScanEnter = 28;

class KeyQueue {
  public:
    static constexpr int kSize = 256;

    // Appends code; 256 unread codes wrap round and the queue then reads as empty.
    void Push(int code);
    // The oldest code, or 0 when the queue is empty.
    int Pop();
    // Empties the queue (the held keys stay known, so they are not queued again).
    void Clear();
    // Queues every key down in keys that was not down at the previous feed, with kKeyShifted when left
    // shift is down now or right shift was down at the previous feed. NULL: nothing.
    void FeedFromKeyState(const unsigned char* keys);

  private:
    int ring_[kSize] = {};
    int write_ = 0;
    int read_ = 0;
    unsigned char down_[kSize] = {};
};

extern KeyQueue g_keyQueue;

// The US-layout character of a queued code (bit 8 = shifted) in the low byte, or 0 for a key that types
// nothing (minus, Backspace, Tab, Enter, ...).
int ScanCodeToChar(int code);
