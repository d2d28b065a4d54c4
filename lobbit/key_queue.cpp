#include "lobbit/key_queue.h"

KeyQueue g_keyQueue;

namespace {

constexpr int kLeftShift = 42;
constexpr int kRightShift = 54;

// One row of keys: the first scan code and the characters typed, unshifted and shifted.
struct KeyRow {
    int first;
    const char* plain;
    const char* shifted;
};

// Every key that types something; a code in none of the rows types nothing.
constexpr KeyRow kRows[] = {
    {2, "1234567890", "!@#$%^&*()"},      {13, "=", "+"},
    {16, "qwertyuiop[]", "QWERTYUIOP{}"}, {30, "asdfghjkl;'`", "ASDFGHJKL:\"~"},
    {43, "\\zxcvbnm,./", "|ZXCVBNM<>?"},  {57, " ", " "},
};

int Length(const char* text) {
    int n = 0;
    while (text[n])
        ++n;
    return n;
}

} // namespace

void KeyQueue::Push(int code) {
    ring_[write_] = code;
    write_ = (write_ + 1) % kSize;
}

int KeyQueue::Pop() {
    if (read_ == write_) return 0;
    const int code = ring_[read_];
    read_ = (read_ + 1) % kSize;
    return code;
}

void KeyQueue::Clear() {
    write_ = 0;
    read_ = 0;
}

void KeyQueue::FeedFromKeyState(const unsigned char* keys) {
    if (!keys) return;
    // Right shift is read from the previous feed, as designed; left shift from this one.
    const int shift = (keys[kLeftShift] != 0 || down_[kRightShift]) ? 1 : 0;
    for (int i = 0; i < kSize; ++i) {
        if (keys[i] & 0x80) {
            if (!down_[i]) Push(i | shift << 8);
            down_[i] = 1;
        } else {
            down_[i] = 0;
        }
    }
}

int ScanCodeToChar(int code) {
    const int key = code & 0xFF;
    const bool shifted = (code & kKeyShifted) != 0;
    for (const KeyRow& row : kRows) {
        if (key >= row.first && key < row.first + Length(row.plain))
            return static_cast<unsigned char>((shifted ? row.shifted : row.plain)[key - row.first]);
    }
    return 0;
}
