// The keyboard device: a 256-byte table of set-1 key codes that follows the key messages.
#include <cstring>
#include <vector>

#include "test_dinput_support.h"

namespace {

class DinputKeyboard : public DinputTest {
  protected:
    void SetUp() override {
        DinputTest::SetUp();
        keyboard_ = MakeDevice(GUID_SysKeyboard, c_dfDIKeyboard);
        ASSERT_NE(keyboard_, nullptr);
        ASSERT_EQ(keyboard_->Acquire(), DI_OK);
    }
    void TearDown() override {
        if (keyboard_) {
            EXPECT_EQ(keyboard_->Release(), 0u);
        }
        DinputTest::TearDown();
    }

    // Reads the table and returns the indexes of the keys that are down.
    std::vector<int> KeysDown() {
        BYTE keys[256];
        std::memset(keys, 0x11, sizeof keys);
        EXPECT_EQ(keyboard_->GetDeviceState(sizeof keys, keys), DI_OK);
        std::vector<int> down;
        for (int i = 0; i < 256; ++i) {
            EXPECT_TRUE(keys[i] == 0x00 || keys[i] == 0x80) << "key " << i << " reads " << int(keys[i]);
            if (keys[i] == 0x80) down.push_back(i);
        }
        return down;
    }

    IDirectInputDeviceA* keyboard_ = nullptr;
};

TEST_F(DinputKeyboard, TableFollowsPressAndRelease) {
    EXPECT_TRUE(KeysDown().empty());
    Key(DIK_A, false, true);
    EXPECT_EQ(KeysDown(), std::vector<int>{DIK_A});
    Key(DIK_LSHIFT, false, true);
    EXPECT_EQ(KeysDown(), (std::vector<int>{DIK_A, DIK_LSHIFT}));
    Key(DIK_A, false, false);
    EXPECT_EQ(KeysDown(), std::vector<int>{DIK_LSHIFT});
    Key(DIK_LSHIFT, false, false);
    EXPECT_TRUE(KeysDown().empty());

    // An auto-repeated press and a release of a key not seen down keep the table consistent.
    Key(DIK_SPACE, false, true);
    Key(DIK_SPACE, false, true);
    EXPECT_EQ(KeysDown(), std::vector<int>{DIK_SPACE});
    Key(DIK_SPACE, false, false);
    Key(DIK_ESCAPE, false, false);
    EXPECT_TRUE(KeysDown().empty());
}

TEST_F(DinputKeyboard, ExtendedKeysLandInTheUpperHalf) {
    // The arrow keys share their make codes with the keypad digits; only the E0 prefix tells them apart.
    Key(0x4D, true, true);
    EXPECT_EQ(KeysDown(), std::vector<int>{DIK_RIGHT});
    EXPECT_EQ(DIK_RIGHT, 0xCD);
    Key(0x4D, false, true);
    EXPECT_EQ(KeysDown(), (std::vector<int>{DIK_NUMPAD6, DIK_RIGHT}));
    Key(0x4D, true, false);
    EXPECT_EQ(KeysDown(), std::vector<int>{DIK_NUMPAD6});
    Key(0x4D, false, false);

    Key(0x1D, true, true); // right Ctrl, not left
    Key(0x1C, true, true); // keypad Enter, not Return
    EXPECT_EQ(KeysDown(), (std::vector<int>{DIK_NUMPADENTER, DIK_RCONTROL}));
}

TEST_F(DinputKeyboard, CodesOutsideTheSetAreIgnored) {
    Key(0, false, true);
    Key(-1, false, true);
    Key(0x80, false, true);
    Key(0x80, true, true);
    Key(1000, true, true);
    EXPECT_TRUE(KeysDown().empty());
}

TEST_F(DinputKeyboard, KeyHeldBeforeTheDeviceExistedReadsDown) {
    Key(DIK_TAB, false, true);
    IDirectInputDeviceA* second = MakeDevice(GUID_SysKeyboard, c_dfDIKeyboard);
    ASSERT_EQ(second->Acquire(), DI_OK);
    BYTE keys[256] = {};
    EXPECT_EQ(second->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[DIK_TAB], 0x80);
    EXPECT_EQ(second->Release(), 0u);
}

TEST_F(DinputKeyboard, FailedReadLeavesTheCallersTableAlone) {
    Key(DIK_Q, false, true);
    BYTE keys[256];
    std::memset(keys, 0x55, sizeof keys);
    EXPECT_EQ(keyboard_->GetDeviceState(255, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard_->GetDeviceState(sizeof keys, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard_->Unacquire(), DI_OK);
    EXPECT_EQ(keyboard_->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(keys[i], 0x55) << "byte " << i << " was written";
}

TEST_F(DinputKeyboard, ExclusiveBackgroundKeyboardIsRefused) {
    IDirectInputDeviceA* other = MakeDevice(GUID_SysKeyboard, c_dfDIKeyboard, 0);
    EXPECT_EQ(other->SetCooperativeLevel(OurWindow(), DISCL_EXCLUSIVE | DISCL_BACKGROUND), DIERR_UNSUPPORTED);
    EXPECT_EQ(other->SetCooperativeLevel(OurWindow(), DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    EXPECT_EQ(other->Release(), 0u);
}

} // namespace
