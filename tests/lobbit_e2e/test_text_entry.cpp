// The key queue and the text fields' limits, checked directly (no display needed).
#include <gtest/gtest.h>

#include <string>

#include "lobbit/key_queue.h"
#include "lobbit/text_field.h"

namespace {

constexpr int kA = 30, kLeftShift = 42, kRightShift = 54;

struct Keys {
    unsigned char table[256] = {};
    Keys& Down(int code) { return table[code] = 0x80, *this; }
    Keys& Up(int code) { return table[code] = 0, *this; }
};

TEST(KeyQueueTest, QueuesEachPressOnceWithTheShiftAsDesigned) {
    KeyQueue queue;
    Keys keys;
    queue.FeedFromKeyState(keys.Down(kA).table);
    queue.FeedFromKeyState(keys.table); // held: not again
    EXPECT_EQ(queue.Pop(), kA);
    EXPECT_EQ(queue.Pop(), 0);
    queue.FeedFromKeyState(keys.Up(kA).table);
    queue.FeedFromKeyState(keys.Down(kLeftShift).Down(kA).table); // left shift counts in the same feed
    EXPECT_EQ(queue.Pop(), kA | kKeyShifted);                     // codes come in scan-code order
    EXPECT_EQ(queue.Pop(), kLeftShift | kKeyShifted);
    queue.FeedFromKeyState(keys.Up(kLeftShift).Up(kA).table);
    queue.FeedFromKeyState(keys.Down(kRightShift).Down(kA).table); // right shift only from the previous feed
    EXPECT_EQ(queue.Pop(), kA);
    queue.FeedFromKeyState(keys.Up(kA).table);
    queue.FeedFromKeyState(keys.Down(kA).table);
    EXPECT_EQ(queue.Pop(), kRightShift);
    EXPECT_EQ(queue.Pop(), kA | kKeyShifted);
    // Clear keeps the held keys known: they are not queued again.
    queue.Clear();
    queue.FeedFromKeyState(keys.table);
    EXPECT_EQ(queue.Pop(), 0);
    queue.FeedFromKeyState(nullptr);
    EXPECT_EQ(queue.Pop(), 0);
}

TEST(KeyQueueTest, TwoHundredFiftySixUnreadPressesReadAsEmpty) {
    KeyQueue queue;
    for (int i = 0; i < KeyQueue::kSize; ++i)
        queue.Push(kA);
    EXPECT_EQ(queue.Pop(), 0);
}

TEST(KeyQueueTest, ScanCodesTypeTheUsLayout) {
    std::string plain, shifted;
    for (int code = 0; code < 64; ++code) {
        if (const int c = ScanCodeToChar(code)) plain += char(c);
        if (const int c = ScanCodeToChar(code | kKeyShifted)) shifted += char(c);
    }
    EXPECT_EQ(plain, "1234567890=qwertyuiop[]asdfghjkl;'`\\zxcvbnm,./ ");
    EXPECT_EQ(shifted, "!@#$%^&*()+QWERTYUIOP{}ASDFGHJKL:\"~|ZXCVBNM<>? ");
    for (int code : {12, 14, 15, 28, 12 | kKeyShifted, 0x80 | 30})
        EXPECT_EQ(ScanCodeToChar(code), 0) << code;
}

TEST(TextFieldTest, TextStaysWithinItsBufferAndKeysFollowTheFocus) {
    TextField field;
    field.AllocText(8);
    field.SetRect(0, 0, 100, 20);
    field.SetText("too long for it");
    EXPECT_EQ(field.length, 0);
    field.SetText("abcdefg"); // fits with its terminator
    EXPECT_EQ(std::string(field.text), "abcdefg");
    for (int i = 0; i < 9; ++i)
        field.Backspace();
    EXPECT_EQ(field.length, 0);
    for (char c : std::string("0123456789"))
        field.AppendChar(c);
    EXPECT_EQ(std::string(field.text), "012345"); // at most size - 2 characters

    g_keyQueue.Clear();
    g_keyQueue.Push(kA);
    EXPECT_EQ(field.HandleKeys(), 0); // not focused: the queue is left alone
    field.SetFocus(1);                // gaining the focus drops what was typed before
    EXPECT_EQ(g_keyQueue.Pop(), 0);
    for (int code : {kScanBackspace, kScanTab | kKeyShifted, kScanEnter})
        g_keyQueue.Push(code);
    EXPECT_EQ(field.HandleKeys(), kScanEnter);
    EXPECT_EQ(std::string(field.text), "01234");
    EXPECT_EQ(field.focus, 0);
}

TEST(TextFieldTest, ListModeClicksSelectThenFocusThenUnfocus) {
    TextField field;
    field.SetRect(10, 10, 150, 30);
    EXPECT_EQ(field.HitTest(160, 40), 1); // both far edges count as inside
    EXPECT_EQ(field.HitTest(161, 40), 0);
    field.HandleClick(20, 20);
    EXPECT_EQ(field.selected, 1);
    EXPECT_EQ(field.focus, 0);
    EXPECT_EQ(field.HandleClick(20, 20), 1);
    EXPECT_EQ(field.HandleClick(20, 20), 0);
    field.HandleClick(500, 500);
    EXPECT_EQ(field.selected, 0);
}

} // namespace
